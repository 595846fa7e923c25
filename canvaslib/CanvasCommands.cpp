#include "canvaslib/CanvasCommands.h"

#include "canvaslib/CanvasDocument.h"

namespace karvo {

void AddItemCommand::undo(CanvasDocument &ADoc)
{
    ADoc.removeLastItem();
}

void AddItemCommand::redo(CanvasDocument &ADoc)
{
    ADoc.appendItem(FItem);
}

void EraseAllCommand::undo(CanvasDocument &ADoc)
{
    ADoc.setItems(FRemoved);
}

void EraseAllCommand::redo(CanvasDocument &ADoc)
{
    ADoc.takeItems();
}

void ClearCommand::undo(CanvasDocument &ADoc)
{
    ADoc.setPictureLayer(FPicture);
    ADoc.setItems(FRemoved);
}

void ClearCommand::redo(CanvasDocument &ADoc)
{
    ADoc.setPictureLayer(QImage());
    ADoc.takeItems();
}

void FlipCommand::undo(CanvasDocument &ADoc)
{
    ADoc.mirrorLayers(FHorizontal);
}

void FlipCommand::redo(CanvasDocument &ADoc)
{
    ADoc.mirrorLayers(FHorizontal);
}

void InvertCommand::undo(CanvasDocument &ADoc)
{
    ADoc.invertLayers(ADoc.backgroundColor() == FAfter);
}

void InvertCommand::redo(CanvasDocument &ADoc)
{
    if (!FBefore) { // made now
        FBefore = ADoc.backgroundColor();
        ADoc.invertLayers(true);
        FAfter = ADoc.backgroundColor();
        return;
    }
    ADoc.invertLayers(ADoc.backgroundColor() == *FBefore);
}

void GrayscaleCommand::undo(CanvasDocument &ADoc)
{
    ADoc.setPictureLayer(FPicture);
    if (ADoc.backgroundColor() == FAfter)
        ADoc.setBackgroundLayer(FBackground);
    ADoc.setItemColors(FColors);
}

void GrayscaleCommand::redo(CanvasDocument &ADoc)
{
    ADoc.grayscaleLayers(!FAfter || ADoc.backgroundColor() == FBackground);
    if (!FAfter) // made now
        FAfter = ADoc.backgroundColor();
}

} // namespace karvo
