#pragma once

#include <QImage>
#include <QString>
#include <memory>

// Access to the skin: the images of the menu bar (every button in its normal,
// pressed and hover state, the tabs, the pen-option pictures), kept by name in
// "Resource.rcc" beside the executable, a Qt binary resource file. Each entry
// is one encoded image file; the entries at the top level are the images at
// normal density, the entries in the folder "2x" the same images at twice the
// size. Names are matched without regard to letter case.
//
// The package is read into memory and checked once by Open; nothing in it is
// trusted beyond what the checks allow. User-interface thread only.
class TCustomResource
{
public:
    static constexpr const char *FileName = "Resource.rcc";

    TCustomResource();
    ~TCustomResource(); // Close
    TCustomResource(const TCustomResource &) = delete;
    TCustomResource &operator=(const TCustomResource &) = delete;

    // Opens "Resource.rcc" in the folder of the running executable.
    bool Open();
    // Opens the package at AFileName and returns true when it can be used.
    // False when no file is there, it cannot be read or it is not a sound
    // package; a package opened before then stays open. A successful Open
    // replaces a package opened before.
    bool Open(const QString &AFileName);
    // Forgets the package; LoadFromResource then does nothing.
    void Close();
    bool IsOpen() const { return FPackage != nullptr; }

    // Replaces ABitmap with the image named AResname. Nothing happens while
    // closed, when ABitmap is null, or when the package has no such name: the
    // bitmap keeps what it had. Otherwise the bitmap is first cleared to fully
    // transparent (keeping its size) and then takes the decoded image; data
    // that cannot be decoded leaves it cleared. With ADevicePixelRatio above 1
    // the image for high-density screens is taken when the package has it,
    // with its device pixel ratio set to 2, so that it paints at the same
    // logical size.
    void LoadFromResource(QImage *ABitmap, const QString &AResname,
                          qreal ADevicePixelRatio = 1.0) const;

    // The path Open() looks at.
    static QString DefaultFileName();

private:
    struct TPackage;
    // The package read by Open; null while closed.
    std::unique_ptr<TPackage> FPackage;
};

// The program's skin, created at start-up before the configuration store and
// opened by the main window.
extern std::unique_ptr<TCustomResource> SkinResource;
