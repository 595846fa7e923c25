#pragma once

#include "app/MenuTags.h"
#include "support/Language.h"

#include <QLatin1String>
#include <QString>
#include <optional>
#include <span>

// The buttons of the two menus as data: name, tag, skin images, where each
// one sits and what assistive technology calls it. The window builds its
// buttons from this table, maps a clicked button's integer tag and a
// command's control back through it, and the layout test reads it.

enum class TMenuKind
{
    Preview,
    Drawing,
};

enum class TMenuPlace
{
    Row,    // a 65-pixel holder docked left; Slot counts from 0
    Zoom,   // the zoom box docked right; Slot 0 is zoom in, 1 zoom out
    Hidden, // a holder that exists but is never shown
};

struct TMenuButtonEntry
{
    const char *Name;
    TMenuButtonId Command; // a preview or a drawing tag
    const char *SkinBase;  // the images are SkinBase + "N", "D", "O"
    TMenuPlace Place;
    int Slot;
    bool StaysPressed; // a toggle: a click presses it until the next click
    // The accessible name: this entry of the language table when it has one,
    // otherwise Fallback.
    QString TPreviewMenu::*PreviewText;
    QString TDrawingMenu::*DrawingText;
    const char16_t *Fallback;

    TMenuKind Menu() const
    {
        return std::holds_alternative<TPreviewTag>(Command) ? TMenuKind::Preview
                                                            : TMenuKind::Drawing;
    }
    // The integer tag the button carries.
    int Tag() const
    {
        return std::visit([](auto ATag) { return int(ATag); }, Command);
    }
};

std::span<const TMenuButtonEntry> MenuButtons();
// The entry named AName, or null.
const TMenuButtonEntry *FindMenuButton(const QString &AName);
// The entry of a command's button, or null for a value of no button.
const TMenuButtonEntry *FindMenuButton(TMenuButtonId ACommand);
// The command of a button's integer tag in the preview or drawing menu;
// empty for a tag that no button of that menu carries.
std::optional<TPreviewTag> PreviewTagOf(int ATag);
std::optional<TDrawingTag> DrawingTagOf(int ATag);
// The object name of a control ("btnPreview_Record", "tabDrawing"); empty
// for a value of no control.
QLatin1String ControlName(TControlId AControl);
QString AccessibleNameOf(const TMenuButtonEntry &AEntry, const TLanguage *ALanguage);

// Geometry of the menu bar, in pixels.
namespace MenuGeometry {
constexpr int WindowPadding = 5;  // the window's inner padding on every side
constexpr int MenuTop = 31;       // LayoutMenu's height
constexpr int SubMenuHeight = 76; // LayoutSubMenu's height
constexpr int MenuBarHeight = MenuTop + SubMenuHeight;
constexpr int SubMenuMargin = 5; // rectSubMenu's side margins
constexpr int MenuInset = 5;     // the menus' inset inside rectSubMenu
constexpr int Holder = 65;       // 5 margin, the 55 × 55 button, 5 margin
constexpr int Button = 55;
constexpr int ZoomWidth = 120;   // LayoutZoom, docked right
constexpr int ZoomBox = 110;     // the centred box of the two zoom buttons
constexpr int StatusWidth = 179; // txtRecordTime and the status strip
constexpr int RecordTimeHeight = 35;
constexpr int StripWidth = 167;
constexpr int StripHeight = 30;
constexpr int IconSize = 21;
constexpr int TabWidth = 80;
constexpr int TabHeight = 20;
constexpr int TabPreviewX = 1;
constexpr int TabDrawingX = 75; // the tabs overlap by 6
constexpr int WindowButtonWidth = 31;
constexpr int WindowButtonHeight = 27;
constexpr int SystemWidth = 68; // LayoutSystem: minimise and maximise
constexpr int MinWidth = 990;
constexpr int MinHeight = 600;
constexpr int DesignWidth = 1239;
constexpr int DesignHeight = 692;
constexpr int SlideStep = 20;
constexpr int SlideIntervalMs = 50;
} // namespace MenuGeometry
