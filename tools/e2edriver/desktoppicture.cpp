// The desktop as a picture a reader understands without the log: drawn from
// what the X server shows on each output and what a fresh process of the
// driver reads as the system's displays, with ImageMagick.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "simdesktop.h"
#include "simintel.h"
#include "xscreen.h"

namespace vqdrive::desktop {

namespace {

namespace xs = vqsim::xscreen;

constexpr int kScale = 4;    // desktop pixels per picture pixel
constexpr int kMargin = 24;  // around the desktop, picture pixels

struct Role {
    const wchar_t* output;
    const char* name;
    const wchar_t* state;  // stem of the graphics state's values
};
constexpr Role kRoles[] = {{xs::kPanelOutput, "panel", L"Panel"},
                           {xs::kCrtOutput, "CRT", L"Crt"},
                           {xs::kHdmiOutput, "HDMI", L"Hdmi"},
                           {xs::kTvOutput, "TV", L"Tv"}};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

const Role* RoleOf(const std::wstring& output) {
    for (const Role& role : kRoles) {
        if (output == role.output) return &role;
    }
    return nullptr;
}

// One picture on the desktop and the outputs that show it.
struct Picture {
    int x, y, width, height;
    bool primary = false;
    std::vector<std::string> outputs;
    int degrees = 0;
};

}  // namespace

bool DrawPicture(const std::wstring& pngPath) {
    const std::vector<xs::Output> outputs = xs::ReadOutputs();
    const std::vector<Display> displays = Displays();
    std::vector<Picture> pictures;
    for (const xs::Output& o : outputs) {
        if (!o.on) continue;
        const Role* role = RoleOf(o.name);
        const std::string name = (role ? std::string(role->name) + " " : std::string()) + "(" + Narrow(o.name) + ")";
        auto same = std::find_if(pictures.begin(), pictures.end(), [&](const Picture& p) {
            return p.x == o.x && p.y == o.y && p.width == o.width && p.height == o.height;
        });
        if (same == pictures.end()) {
            pictures.push_back({o.x, o.y, o.width, o.height});
            same = pictures.end() - 1;
        }
        same->outputs.push_back(name);
        same->primary = same->primary || o.primary;
        if (role && intel::Value((std::wstring(role->state) + L"Rotation").c_str()) != 0) {
            same->degrees = static_cast<int>(intel::Value((std::wstring(role->state) + L"Rotation").c_str()) * 90);
        }
    }
    int left = 0, top = 0, right = kPanelWidth, bottom = kPanelHeight;
    if (!pictures.empty()) {
        left = top = 1 << 30;
        right = bottom = -(1 << 30);
    }
    for (const Picture& p : pictures) {
        left = std::min(left, p.x), top = std::min(top, p.y);
        right = std::max(right, p.x + p.width), bottom = std::max(bottom, p.y + p.height);
    }
    int originX = 0, originY = 0;
    for (const Picture& p : pictures) {
        if (p.primary) originX = p.x, originY = p.y;
    }
    const int width = std::max((right - left) / kScale + 2 * kMargin, 420);
    const int height = (bottom - top) / kScale + 2 * kMargin + 40;
    std::string command = "convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                          " xc:'#202428' -font DejaVu-Sans -pointsize 12";
    char text[512];
    std::snprintf(text, sizeof text, " -fill '#c8c8c8' -annotate +%d+%d 'desktop %dx%d at %+d%+d: %zu picture(s)'",
                  kMargin, height - 14, right - left, bottom - top, left, top, pictures.size());
    command += text;
    for (const Picture& p : pictures) {
        const int x0 = (p.x - left) / kScale + kMargin, y0 = (p.y - top) / kScale + kMargin;
        const int x1 = x0 + p.width / kScale - 1, y1 = y0 + p.height / kScale - 1;
        std::snprintf(text, sizeof text, " -fill '%s' -stroke '%s' -strokewidth 2 -draw 'rectangle %d,%d %d,%d' -stroke none",
                      p.outputs.size() > 1 ? "#6a4c93" : "#2f5d8a", p.primary ? "#ffd23f" : "#e0e0e0", x0, y0, x1, y1);
        command += text;
        // The system's display at that place (its positions count from the primary's corner).
        std::string device = "no display";
        for (const Display& d : displays) {
            if (d.attached && d.x == p.x - originX && d.y == p.y - originY) {
                device = Narrow(d.device.substr(d.device.find_last_of(L'\\') + 1));
            }
        }
        std::string lines = device + (p.primary ? "  primary" : "") + "\\n" + std::to_string(p.width) + " x " +
                            std::to_string(p.height) + " at " + std::to_string(p.x) + "," + std::to_string(p.y);
        if (p.degrees) lines += "\\nturned " + std::to_string(p.degrees) + " degrees";
        lines += p.outputs.size() > 1 ? "\\nclone, one picture on:" : "\\nshown on:";
        for (const std::string& o : p.outputs) lines += "\\n  " + o;
        std::snprintf(text, sizeof text, " -fill white -annotate +%d+%d '%s'", x0 + 6, y0 + 16, lines.c_str());
        command += text;
    }
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring script = std::wstring(folder) + L"vqdrive-picture-" + std::to_wstring(GetCurrentProcessId()) + L".sh";
    const std::wstring unixScript = xs::UnixPath(script), unixPng = xs::UnixPath(pngPath);
    if (unixScript.empty() || unixPng.empty()) return false;
    command += " '" + Narrow(unixPng) + "'\n";
    HANDLE file = CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, command.data(), static_cast<DWORD>(command.size()), &written, nullptr);
    CloseHandle(file);
    const bool drawn = xs::RunShell(L"sh '" + unixScript + L"' 2>&1");
    DeleteFileW(script.c_str());
    return drawn;
}

}  // namespace vqdrive::desktop
