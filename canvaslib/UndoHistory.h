#pragma once

#include "canvaslib/CanvasCommands.h"

#include <deque>
#include <memory>

namespace karvo {

// The undo and redo stacks of a drawing. Holds at most Limit() steps to
// undo; a new step beyond that drops the oldest one. A new step empties the
// redo stack.
class UndoHistory
{
public:
    static constexpr int DefaultLimit = 10;
    static constexpr int MaxLimit = 1000;

    // Records a command that has already been applied.
    void push(std::unique_ptr<CanvasCommand> ACommand);
    bool undo(CanvasDocument &ADoc);
    bool redo(CanvasDocument &ADoc);
    void clear();

    int limit() const { return FLimit; }
    // Negative counts as 0 (no undo), more than MaxLimit as MaxLimit.
    void setLimit(int ALimit);
    int undoCount() const { return static_cast<int>(FUndo.size()); }
    int redoCount() const { return static_cast<int>(FRedo.size()); }

private:
    void trim();

    std::deque<std::unique_ptr<CanvasCommand>> FUndo;
    std::deque<std::unique_ptr<CanvasCommand>> FRedo;
    int FLimit = DefaultLimit;
};

} // namespace karvo
