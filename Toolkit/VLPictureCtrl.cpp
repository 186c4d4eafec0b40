#include "VLPictureCtrl.h"

#include <algorithm>

#include <objidl.h>  // PROPID, which the lean Windows headers leave out
// GDI+ headers expect min and max, which NOMINMAX removes.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace {

// GDI+ is started once, on first use, and stays for the process's life.
bool EnsureGdiplus()
{
    static ULONG_PTR token = 0;
    static bool started = false;
    if (!started) {
        Gdiplus::GdiplusStartupInput input;
        started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }
    return started;
}

}  // namespace

VLPictureCtrl::VLPictureCtrl() = default;
VLPictureCtrl::~VLPictureCtrl() = default;

bool VLPictureCtrl::Create(HWND parent, const RECT& rect, UINT id)
{
    CreateArgs args;
    args.className = L"VLPictureCtrl";
    args.parent = parent;
    args.rect = rect;
    args.id = id;
    return VLWnd::Create(args);
}

bool VLPictureCtrl::LoadPicture(const VLString& path)
{
    Clear();
    if (!EnsureGdiplus())
        return false;
    // GDI+ keeps the file open while the Image lives; a copy in memory lets
    // the installer move or delete the file meanwhile.
    std::unique_ptr<Gdiplus::Bitmap> file(Gdiplus::Bitmap::FromFile(path.GetString()));
    if (!file || file->GetLastStatus() != Gdiplus::Ok || file->GetWidth() == 0 || file->GetHeight() == 0)
        return false;
    auto copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(file->GetWidth()),
                                                  static_cast<INT>(file->GetHeight()), PixelFormat32bppARGB);
    if (copy->GetLastStatus() != Gdiplus::Ok)
        return false;
    {
        Gdiplus::Graphics g(copy.get());
        if (g.DrawImage(file.get(), 0, 0, static_cast<INT>(file->GetWidth()), static_cast<INT>(file->GetHeight())) !=
            Gdiplus::Ok)
            return false;
    }
    m_image = std::move(copy);
    Invalidate();
    return true;
}

void VLPictureCtrl::Clear()
{
    m_image.reset();
    Invalidate();
}

SIZE VLPictureCtrl::GetPictureSize() const
{
    if (!m_image)
        return SIZE{0, 0};
    return SIZE{static_cast<LONG>(m_image->GetWidth()), static_cast<LONG>(m_image->GetHeight())};
}

RECT VLPictureCtrl::FitRect(int pictureWidth, int pictureHeight, const RECT& box) noexcept
{
    int boxWidth = box.right - box.left;
    int boxHeight = box.bottom - box.top;
    if (pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return RECT{box.left, box.top, box.left, box.top};
    // Compare the proportions in 64 bits: width * height of large pictures
    // overflows int.
    int width, height;
    if (static_cast<long long>(boxWidth) * pictureHeight <= static_cast<long long>(boxHeight) * pictureWidth) {
        width = boxWidth;
        height = static_cast<int>(static_cast<long long>(pictureHeight) * boxWidth / pictureWidth);
    } else {
        height = boxHeight;
        width = static_cast<int>(static_cast<long long>(pictureWidth) * boxHeight / pictureHeight);
    }
    int left = box.left + (boxWidth - width) / 2;
    int top = box.top + (boxHeight - height) / 2;
    return RECT{left, top, left + width, top + height};
}

void VLPictureCtrl::OnPaint(HDC dc, const RECT& client)
{
    if (!m_image)
        return;
    RECT r = FitRect(static_cast<int>(m_image->GetWidth()), static_cast<int>(m_image->GetHeight()), client);
    Gdiplus::Graphics g(dc);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.DrawImage(m_image.get(), static_cast<INT>(r.left), static_cast<INT>(r.top), static_cast<INT>(r.right - r.left),
                static_cast<INT>(r.bottom - r.top));
}
