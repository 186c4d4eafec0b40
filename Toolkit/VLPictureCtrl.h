#pragma once
// Shows a PNG or JPEG picture (decoded by GDI+) scaled to fit the control,
// keeping its proportions and centred.

#include <memory>

#include "VLWnd.h"

namespace Gdiplus {
class Image;
}

class VLPictureCtrl : public VLWnd {
public:
    VLPictureCtrl();
    ~VLPictureCtrl() override;

    [[nodiscard]] bool Create(HWND parent, const RECT& rect, UINT id);
    // Loads and shows the picture; false (and an empty control) when the file
    // cannot be read or decoded.
    [[nodiscard]] bool LoadPicture(const VLString& path);
    void Clear();
    bool HasPicture() const { return m_image != nullptr; }
    SIZE GetPictureSize() const;

    // The largest rectangle of the picture's proportions that fits `box`,
    // centred in it.
    static RECT FitRect(int pictureWidth, int pictureHeight, const RECT& box) noexcept;

protected:
    void OnPaint(HDC dc, const RECT& client) override;

private:
    std::unique_ptr<Gdiplus::Image> m_image;
};
