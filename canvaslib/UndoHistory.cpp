#include "canvaslib/UndoHistory.h"

#include <algorithm>

namespace karvo {

void UndoHistory::push(std::unique_ptr<CanvasCommand> ACommand)
{
    FRedo.clear();
    FUndo.push_back(std::move(ACommand));
    trim();
}

bool UndoHistory::undo(CanvasDocument &ADoc)
{
    if (FUndo.empty())
        return false;
    std::unique_ptr<CanvasCommand> command = std::move(FUndo.back());
    FUndo.pop_back();
    command->undo(ADoc);
    FRedo.push_back(std::move(command));
    return true;
}

bool UndoHistory::redo(CanvasDocument &ADoc)
{
    if (FRedo.empty())
        return false;
    std::unique_ptr<CanvasCommand> command = std::move(FRedo.back());
    FRedo.pop_back();
    command->redo(ADoc);
    FUndo.push_back(std::move(command));
    trim();
    return true;
}

void UndoHistory::clear()
{
    FUndo.clear();
    FRedo.clear();
}

void UndoHistory::setLimit(int ALimit)
{
    FLimit = std::clamp(ALimit, 0, MaxLimit);
    trim();
    while (static_cast<int>(FRedo.size()) > FLimit)
        FRedo.pop_front();
}

void UndoHistory::trim()
{
    while (static_cast<int>(FUndo.size()) > FLimit)
        FUndo.pop_front();
}

} // namespace karvo
