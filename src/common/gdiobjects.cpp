#include "common/gdiobjects.h"

namespace gdi {

namespace detail {
std::atomic<int> liveObjects{0};
std::atomic<int> liveWindows{0};
}  // namespace detail

int LiveObjects() { return detail::liveObjects.load(); }
int LiveWindows() { return detail::liveWindows.load(); }

void DeleteDeviceContext(HDC dc) { DeleteDC(dc); }
void DeleteBitmap(HBITMAP bitmap) { DeleteObject(bitmap); }

}  // namespace gdi
