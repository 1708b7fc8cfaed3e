// The wait window: a topmost borderless popup with one static label.
#include <cmath>
#include <string>

#include "platform/UserInterface.h"

#include <windows.h>

namespace port {
namespace {

constexpr wchar_t kClassName[] = L"VXPA_WaitWindow";
constexpr COLORREF kBackground = RGB(12, 25, 117);
constexpr COLORREF kTextColour = RGB(255, 255, 255);
constexpr int kClientHeight = 50;
constexpr int kInitialClientWidth = 100;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

class Win32WaitWindow final : public WaitWindow {
 public:
  Win32WaitWindow() : fBrush(CreateSolidBrush(kBackground)), fFont(CreateLabelFont()) {}

  ~Win32WaitWindow() override {
    if (fWindow != nullptr) DestroyWindow(fWindow);
    // A class registered by a module outlives it unless unregistered; this fails harmlessly
    // while another wait window still uses the class.
    UnregisterClassW(kClassName, ThisModule());
    if (fFont != nullptr) DeleteObject(fFont);
    if (fBrush != nullptr) DeleteObject(fBrush);
  }
  Win32WaitWindow(const Win32WaitWindow&) = delete;
  Win32WaitWindow& operator=(const Win32WaitWindow&) = delete;

  bool Open() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Win32WaitWindow::WindowProc;
    windowClass.hInstance = ThisModule();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_WAIT);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    fWindow = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0,
                              kInitialClientWidth, kClientHeight, nullptr, nullptr, ThisModule(), this);
    if (fWindow == nullptr) return false;
    fLabel = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, 0, 0, 0,
                             fWindow, nullptr, ThisModule(), nullptr);
    if (fLabel == nullptr) return false;
    SendMessageW(fLabel, WM_SETFONT, reinterpret_cast<WPARAM>(fFont), FALSE);
    Layout(0, 0);
    return true;
  }

  void SetText(std::u16string_view aText) override {
    std::wstring text(aText.begin(), aText.end());
    SetWindowTextW(fLabel, text.c_str());
    RECT extent{0, 0, 0, 0};
    HDC dc = GetDC(fLabel);
    HGDIOBJ previous = SelectObject(dc, fFont);
    DrawTextW(dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(fLabel, dc);
    Layout(extent.right - extent.left, extent.bottom - extent.top);
  }

  void Show() override {
    ShowWindow(fWindow, SW_SHOWNOACTIVATE);
    UpdateWindow(fWindow);
  }

  void Hide() override { ShowWindow(fWindow, SW_HIDE); }

 private:
  static HFONT CreateLabelFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) font = metrics.lfMessageFont;
    HDC screen = GetDC(nullptr);
    font.lfHeight = -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&font);
  }

  // Client width 1.3 times the label's, the label centred both ways, the window centred on the screen.
  void Layout(int aLabelWidth, int aLabelHeight) {
    int width = aLabelWidth > 0 ? static_cast<int>(std::lround(aLabelWidth * 1.3)) : kInitialClientWidth;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kClientHeight) / 2;
    SetWindowPos(fWindow, HWND_TOPMOST, x, y, width, kClientHeight, SWP_NOACTIVATE);
    SetWindowPos(fLabel, nullptr, (width - aLabelWidth) / 2, (kClientHeight - aLabelHeight) / 2, aLabelWidth,
                 aLabelHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(fWindow, nullptr, TRUE);
  }

  static LRESULT CALLBACK WindowProc(HWND aWindow, UINT aMessage, WPARAM aWParam, LPARAM aLParam) {
    if (aMessage == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(aLParam);
      SetWindowLongPtrW(aWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32WaitWindow*>(GetWindowLongPtrW(aWindow, GWLP_USERDATA));
    if (self != nullptr) {
      switch (aMessage) {
        case WM_ERASEBKGND: {
          RECT client;
          GetClientRect(aWindow, &client);
          FillRect(reinterpret_cast<HDC>(aWParam), &client, self->fBrush);
          return 1;
        }
        case WM_CTLCOLORSTATIC: {
          HDC dc = reinterpret_cast<HDC>(aWParam);
          SetTextColor(dc, kTextColour);
          SetBkColor(dc, kBackground);
          return reinterpret_cast<LRESULT>(self->fBrush);
        }
        case WM_NCDESTROY:
          SetWindowLongPtrW(aWindow, GWLP_USERDATA, 0);
          self->fWindow = nullptr;
          break;
        default:
          break;
      }
    }
    return DefWindowProcW(aWindow, aMessage, aWParam, aLParam);
  }

  HBRUSH fBrush;
  HFONT fFont;
  HWND fWindow = nullptr;
  HWND fLabel = nullptr;
};

}  // namespace

std::unique_ptr<WaitWindow> CreateWaitWindow() {
  auto window = std::make_unique<Win32WaitWindow>();
  if (!window->Open()) return nullptr;
  return window;
}

}  // namespace port
