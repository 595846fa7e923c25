#pragma once

#include "canvaslib/CanvasItem.h"

#include <QImage>
#include <cstdint>
#include <optional>
#include <vector>

namespace karvo {

class CanvasDocument;

// One undoable change of the drawing. A command is applied once when it is
// made (the document does that, or the change has already happened live),
// and afterwards undone and redone by the history.
class CanvasCommand
{
public:
    virtual ~CanvasCommand() = default;
    virtual void undo(CanvasDocument &ADoc) = 0;
    virtual void redo(CanvasDocument &ADoc) = 0;
};

// A stroke or shape added on top of the annotations.
class AddItemCommand final : public CanvasCommand
{
public:
    explicit AddItemCommand(CanvasItem AItem)
        : FItem(std::move(AItem))
    {}
    void undo(CanvasDocument &ADoc) override;
    void redo(CanvasDocument &ADoc) override;

private:
    CanvasItem FItem;
};

// All annotations removed; the picture stays.
class EraseAllCommand final : public CanvasCommand
{
public:
    explicit EraseAllCommand(std::vector<CanvasItem> ARemoved)
        : FRemoved(std::move(ARemoved))
    {}
    void undo(CanvasDocument &ADoc) override;
    void redo(CanvasDocument &ADoc) override;

private:
    std::vector<CanvasItem> FRemoved;
};

// Picture and annotations removed; the background colour shows.
class ClearCommand final : public CanvasCommand
{
public:
    ClearCommand(std::vector<CanvasItem> ARemoved, QImage APicture)
        : FRemoved(std::move(ARemoved))
        , FPicture(std::move(APicture))
    {}
    void undo(CanvasDocument &ADoc) override;
    void redo(CanvasDocument &ADoc) override;

private:
    std::vector<CanvasItem> FRemoved;
    QImage FPicture;
};

// Picture and annotations mirrored; its own inverse.
class FlipCommand final : public CanvasCommand
{
public:
    explicit FlipCommand(bool AHorizontal)
        : FHorizontal(AHorizontal)
    {}
    void undo(CanvasDocument &ADoc) override;
    void redo(CanvasDocument &ADoc) override;

private:
    bool FHorizontal;
};

// Colours of picture, annotations and background inverted; its own inverse.
// The background colour is not part of the history: one chosen after the
// step is kept when the step is undone or redone.
class InvertCommand final : public CanvasCommand
{
public:
    void undo(CanvasDocument &ADoc) override;
    void redo(CanvasDocument &ADoc) override;

private:
    std::optional<uint32_t> FBefore; // the background before and after the step
    uint32_t FAfter = 0;
};

// Colours turned to grey; undoing restores what was there before (the
// background only while it is still the one the step left).
class GrayscaleCommand final : public CanvasCommand
{
public:
    GrayscaleCommand(QImage APicture, std::vector<uint32_t> AColors, uint32_t ABackground)
        : FPicture(std::move(APicture))
        , FColors(std::move(AColors))
        , FBackground(ABackground)
    {}
    void undo(CanvasDocument &ADoc) override;
    void redo(CanvasDocument &ADoc) override;

private:
    QImage FPicture;
    std::vector<uint32_t> FColors;
    uint32_t FBackground;
    std::optional<uint32_t> FAfter;
};

} // namespace karvo
