// The window table and window classes: handles, creation and destruction, window data and
// texts. Part of the platform's portable core.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <initializer_list>
#include <unordered_set>

#include "platform/core/Core.h"
#include "platform/core/DriverSink.h"

namespace platform::core {
namespace {

constexpr uintptr_t kHandleBase = 0x20;
constexpr size_t kMaxSlots = (0xFFFF - kHandleBase) / 2;
constexpr const char* kDesktopClass = "#32769";
// The classes the system registers for every program, besides the desktop's: the controls,
// the menu (#32768), the dialog (#32770), the task switcher (#32771) and the icon title
// (#32772). The platform implements none of them, so their windows are plain windows; they
// exist so that a program's class of the same name is found as Windows finds it.
constexpr const char* kSystemClasses[] = {"Button",  "ComboBox",  "ComboLBox", "Edit",
                                          "ListBox", "MDIClient", "ScrollBar", "Static",
                                          "#32768",  "#32770",    "#32771",    "#32772"};
constexpr int kDefaultX = 64, kDefaultY = 48, kDefaultWidth = 640, kDefaultHeight = 480;

HWND MakeHandle(size_t slot, WORD uniqueness) {
  return reinterpret_cast<HWND>((uintptr_t(uniqueness) << 16) | (kHandleBase + 2 * slot));
}

std::string Upper(const char* s) {
  std::string out(s ? s : "");
  for (char& c : out)
    c = char(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

TWindow& NewWindow() {
  TState& st = State();
  size_t slot;
  if (!st.freeSlots.empty()) {
    slot = st.freeSlots.back();
    st.freeSlots.pop_back();
  } else {
    slot = st.slots.size();
    st.slots.emplace_back();
    st.uniqueness.push_back(0);
  }
  WORD& u = st.uniqueness[slot];
  u = WORD(u + 1 == 0 ? 1 : u + 1);
  st.slots[slot] = std::make_unique<TWindow>();
  st.slots[slot]->handle = MakeHandle(slot, u);
  return *st.slots[slot];
}

void FreeWindow(TWindow& w) {
  TState& st = State();
  const auto v = reinterpret_cast<uintptr_t>(w.handle);
  const size_t slot = ((v & 0xFFFF) - kHandleBase) / 2;
  w.alive = false;
  st.graveyard.push_back(std::move(st.slots[slot]));
  st.freeSlots.push_back(slot);
}

// A class name of the form "#number" stands for that integer atom, as on Windows.
ATOM IntegerAtomOf(const char* name) {
  if (name[0] != '#' || name[1] == '\0') return 0;
  unsigned long value = 0;
  for (const char* c = name + 1; *c; ++c) {
    if (*c < '0' || *c > '9' || value > 0xFFFF) return 0;
    value = value * 10 + unsigned(*c - '0');
  }
  return value > 0 && value < 0xC000 ? ATOM(value) : 0;
}

std::shared_ptr<TClass> FindIn(const std::map<std::string, std::shared_ptr<TClass>>& classes,
                               LPCSTR name) {
  if (IS_INTRESOURCE(name)) {
    const ATOM atom = ATOM(reinterpret_cast<uintptr_t>(name));
    for (auto& [key, cls] : classes)
      if (cls->atom == atom) return cls;
    return nullptr;
  }
  auto it = classes.find(Upper(name));
  return it == classes.end() ? nullptr : it->second;
}

// The class a name stands for, as Windows looks it up: the program's own class first, which may
// hide a system class of the same name, then the system's. The program's own classes are
// local to its module unless registered with CS_GLOBALCLASS, so a search for the system's
// classes (GetClassInfoA with no instance) does not see them.
std::shared_ptr<TClass> FindClass(LPCSTR name, bool withLocal = true) {
  TState& st = State();
  if (!name) return nullptr;
  if (auto own = FindIn(st.classes, name); own && (withLocal || own->info.style & CS_GLOBALCLASS))
    return own;
  return FindIn(st.systemClasses, name);
}

std::shared_ptr<TClass> AddClass(const WNDCLASSA& wc, const char* name, bool system = false) {
  auto cls = std::make_shared<TClass>();
  cls->name = name;
  cls->atom = IntegerAtomOf(name);
  if (cls->atom == 0) cls->atom = State().nextAtom++;
  cls->info = wc;
  cls->info.lpszClassName = cls->name.c_str();
  cls->info.lpszMenuName = nullptr;
  cls->system = system;
  (system ? State().systemClasses : State().classes)[Upper(name)] = cls;
  return cls;
}

void CreateDesktop() {
  TState& st = State();
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  for (const char* name : kSystemClasses)
    AddClass(wc, name, true);
  TWindow& d = NewWindow();
  d.cls = AddClass(wc, kDesktopClass, true);
  d.style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  d.proc = DefWindowProcA;
  st.desktop = d.handle;
}

void Link(TWindow& parent, TWindow& child, bool atTop) {
  ForgetTopLevelPicture();
  child.parent = parent.handle;
  auto& list = parent.children;
  list.insert(atTop ? list.begin() : list.end(), child.handle);
}

void Unlink(TWindow& child) {
  ForgetTopLevelPicture();
  if (TWindow* p = FindOwn(child.parent)) std::erase(p->children, child.handle);
}

void PurgeMessages(HWND hwnd) {
  TState& st = State();
  std::erase_if(st.posted, [&](const MSG& m) { return m.hwnd == hwnd; });
  std::erase_if(st.input, [&](const TInput& in) { return in.msg.hwnd == hwnd; });
}

// Sends WM_DESTROY to `w` and then to its children, WM_NCDESTROY in the reverse order, and
// forgets every trace of the windows.
void DestroyTree(HWND hwnd) {
  CallProc(hwnd, WM_DESTROY, 0, 0);
  if (TWindow* w = FindOwn(hwnd)) {
    const std::vector<HWND> children = w->children;
    for (HWND c : children)
      if (TWindow* cw = FindOwn(c); cw && !cw->destroying) {
        cw->destroying = true;
        DestroyTree(c);
      }
  }
  ForgetWindow(hwnd);
  CallProc(hwnd, WM_NCDESTROY, 0, 0);
  TWindow* w = FindOwn(hwnd);
  if (!w) return;
  KillWindowTimers(hwnd);
  PurgeMessages(hwnd);
  Unlink(*w);
  if (w->realised) TheDriver().Destroy(hwnd);
  FreeWindow(*w);
}

void Copy(const std::string& text, LPSTR buffer, int max, int& copied) {
  copied = 0;
  if (!buffer || max <= 0) return;
  copied = int(std::min<size_t>(text.size(), size_t(max - 1)));
  std::memcpy(buffer, text.data(), size_t(copied));
  buffer[copied] = '\0';
}

bool ForeignInfo(const TWindow& w, ForeignWindow& out) {
  return w.foreign && TheDriver().Describe(w.foreignKey, out);
}

// The table's entry for a handle, without asking the driver whether another program's window
// still exists.
TWindow* Entry(HWND hwnd) {
  TState& st = State();
  const auto v = reinterpret_cast<uintptr_t>(hwnd);
  const uintptr_t low = v & 0xFFFF;
  if ((v >> 32) != 0 || low < kHandleBase || (low & 1) != 0) return nullptr;
  const size_t slot = (low - kHandleBase) / 2;
  if (slot >= st.slots.size() || !st.slots[slot] || st.uniqueness[slot] != WORD(v >> 16))
    return nullptr;
  TWindow* w = st.slots[slot].get();
  return w->alive ? w : nullptr;
}

// Other programs' windows that the driver no longer names leave the table, so that it holds
// only the windows that exist however many come and go.
void ForgetVanishedForeign(const std::unordered_set<uint64_t>& present) {
  TState& st = State();
  for (auto it = st.foreignHandles.begin(); it != st.foreignHandles.end();) {
    ForeignWindow info;
    TWindow* w = Entry(it->second);
    if (present.count(it->first) != 0 || (w && TheDriver().Describe(it->first, info))) {
      ++it;
      continue;
    }
    if (w) FreeWindow(*w);
    it = st.foreignHandles.erase(it);
  }
}

}  // namespace

// --- The table ---

TWindow* Find(HWND hwnd) {
  TWindow* w = Entry(hwnd);
  if (!w) return nullptr;
  ForeignWindow info;
  if (w->foreign && !TheDriver().Describe(w->foreignKey, info)) return nullptr;
  return w;
}

TWindow* FindOwn(HWND hwnd) {
  TWindow* w = Find(hwnd);
  return w && !w->foreign ? w : nullptr;
}

TWindow* FindOrFail(HWND hwnd) {
  TWindow* w = FindOwn(hwnd);
  if (!w) SetLastError(Find(hwnd) ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

TWindow& Desktop() {
  TState& st = State();
  if (!st.desktop) CreateDesktop();
  return *FindOwn(st.desktop);
}

bool IsTopLevel(const TWindow& w) {
  return w.foreign || w.parent == State().desktop;
}

TWindow* Root(TWindow* w) {
  while (w && !w->foreign && w->parent && w->parent != State().desktop)
    w = FindOwn(w->parent);
  return w;
}

TWindow* ActivationTarget(TWindow* w) {
  if (w && (w->style & (WS_POPUP | WS_CHILD)) == WS_CHILD) return Root(w);
  return w;
}

bool ReallyVisible(const TWindow& w) {
  if (w.foreign) {
    ForeignWindow info;
    return ForeignInfo(w, info) && info.visible;
  }
  for (const TWindow* p = &w; p; p = FindOwn(p->parent))
    if (!p->Visible()) return false;
  return true;
}

RECT ScreenRect(const TWindow& w) {
  if (w.handle == State().desktop) {
    const SIZE s = TheDriver().ScreenSize();
    return {0, 0, s.cx, s.cy};
  }
  ForeignWindow info;
  if (ForeignInfo(w, info)) return info.bounds;
  RECT r = w.rect;
  for (const TWindow* p = FindOwn(w.parent); p && p->handle != State().desktop;
       p = FindOwn(p->parent)) {
    r.left += p->rect.left, r.right += p->rect.left;
    r.top += p->rect.top, r.bottom += p->rect.top;
  }
  return r;
}

std::vector<HWND> TopLevelOrder(bool fresh) {
  TState& st = State();
  if (st.pictureKept && !fresh) return st.topLevelPicture;
  TWindow& desk = Desktop();
  std::vector<StackEntry> entries;
  std::vector<HWND> order;
  if (!TheDriver().Stacking(entries)) {
    order = desk.children;
  } else {
    std::unordered_set<uint64_t> present;
    for (const StackEntry& e : entries) {
      if (e.own) {
        if (TWindow* w = FindOwn(e.own); w && IsTopLevel(*w)) order.push_back(e.own);
        continue;
      }
      present.insert(e.foreign);
      // The driver has just named the window: a known one is not asked about again.
      const auto known = st.foreignHandles.find(e.foreign);
      if (known != st.foreignHandles.end() && Entry(known->second)) {
        order.push_back(known->second);
      } else if (HWND h = sink::ForeignHandle(e.foreign)) {
        order.push_back(h);
      }
    }
    for (HWND h : desk.children)  // a driver that lost track of one of ours
      if (std::find(order.begin(), order.end(), h) == order.end()) order.push_back(h);
    ForgetVanishedForeign(present);
  }
  st.topLevelPicture = order;
  st.pictureKept = true;
  return order;
}

void ForgetTopLevelPicture() {
  State().pictureKept = false;
}

bool InTopLevelPicture(HWND hwnd) {
  const TState& st = State();
  return st.pictureKept && hwnd &&
         std::find(st.topLevelPicture.begin(), st.topLevelPicture.end(), hwnd) !=
             st.topLevelPicture.end();
}

WindowInfo DescribeForDriver(const TWindow& w) {
  WindowInfo info;
  info.hwnd = w.handle;
  info.owner = w.owner;
  info.bounds = ScreenRect(w);
  info.style = w.style;
  info.exStyle = w.exStyle;
  info.className = w.cls ? w.cls->name : "";
  info.text = w.text;
  const DWORD menuBits = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  info.popup = (w.style & WS_POPUP) && (w.exStyle & menuBits) == menuBits;
  info.taskbar = (!w.owner && !(w.exStyle & WS_EX_TOOLWINDOW)) || (w.exStyle & WS_EX_APPWINDOW);
  return info;
}

LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWindow* w = FindOwn(hwnd);
  if (!w || !w->proc) return 0;
  TState& st = State();
  ++st.procDepth;
  struct Leave {
    ~Leave() { --State().procDepth; }
  } leave;
  return w->proc(hwnd, msg, wParam, lParam);
}

void CollectGarbage() {
  if (State().procDepth == 0) State().graveyard.clear();
}

}  // namespace platform::core

using namespace platform;
using namespace platform::core;

// --- Foreign windows, as the driver names them ---

HWND platform::sink::ForeignHandle(uint64_t key) {
  TState& st = State();
  if (auto it = st.foreignHandles.find(key); it != st.foreignHandles.end()) {
    if (Find(it->second)) return it->second;
    st.foreignHandles.erase(it);
  }
  ForeignWindow info;
  if (!TheDriver().Describe(key, info)) return nullptr;
  TWindow& w = NewWindow();
  w.foreign = true;
  w.foreignKey = key;
  w.parent = Desktop().handle;
  st.foreignHandles[key] = w.handle;
  return w.handle;
}

bool platform::sink::ForeignKey(HWND hwnd, uint64_t& key) {
  TWindow* w = Find(hwnd);
  if (!w || !w->foreign) return false;
  key = w->foreignKey;
  return true;
}

// --- Classes ---

extern "C" ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !*wc->lpszClassName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Desktop();
  // A class of the program's own may hide a system class, unless it is meant to be global.
  const bool global = wc->style & CS_GLOBALCLASS;
  if (FindIn(State().classes, wc->lpszClassName) ||
      (global && FindIn(State().systemClasses, wc->lpszClassName))) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  WNDCLASSA own = *wc;
  if (!own.hInstance) own.hInstance = GetModuleHandleA(nullptr);
  return AddClass(own, wc->lpszClassName)->atom;
}

// The program is one module: whatever instance is named, its own class goes first; with none
// of that name, the system's class goes, as Windows lets a program unregister it.
extern "C" BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE) {
  Desktop();
  TState& st = State();
  for (auto* classes : {&st.classes, &st.systemClasses}) {
    if (auto cls = name ? FindIn(*classes, name) : nullptr) {
      classes->erase(Upper(cls->name.c_str()));
      return TRUE;
    }
  }
  SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
  return FALSE;
}

extern "C" BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR name, LPWNDCLASSA out) {
  Desktop();
  auto cls = FindClass(name, instance != nullptr);
  if (!cls || !out) {
    SetLastError(cls ? ERROR_INVALID_PARAMETER : ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  *out = cls->info;
  // Windows reports the instance asked with for the classes every module sees.
  if (cls->system || cls->info.style & CS_GLOBALCLASS) out->hInstance = instance;
  return cls->atom;
}

extern "C" int WINAPI GetClassNameA(HWND hwnd, LPSTR buffer, int max) {
  TWindow* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  ForeignWindow info;
  std::string name = w->cls ? w->cls->name : "";
  if (ForeignInfo(*w, info)) name = info.className;
  int copied;
  Copy(name, buffer, max, copied);
  return copied;
}

// --- Creation and destruction ---

extern "C" HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName,
                                       DWORD style, int x, int y, int width, int height,
                                       HWND parentHandle, HMENU menu, HINSTANCE instance,
                                       LPVOID param) {
  TWindow& desk = Desktop();
  auto cls = FindClass(className);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return nullptr;
  }
  TWindow* parent = nullptr;
  if (parentHandle && !(parent = FindOwn(parentHandle))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if ((style & WS_CHILD) && !parent) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }
  if (State().slots.size() >= kMaxSlots && State().freeSlots.empty()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  const bool child = (style & WS_CHILD) != 0;
  const bool overlapped = !(style & (WS_CHILD | WS_POPUP));
  if (x == CW_USEDEFAULT) x = overlapped ? kDefaultX : 0, y = overlapped ? kDefaultY : 0;
  if (width == CW_USEDEFAULT)
    width = overlapped ? kDefaultWidth : 0, height = overlapped ? kDefaultHeight : 0;
  width = std::max(width, 0), height = std::max(height, 0);
  if (overlapped) style |= WS_CAPTION | WS_CLIPSIBLINGS;
  if (!child) style |= WS_CLIPSIBLINGS;

  TWindow& w = NewWindow();
  const HWND hwnd = w.handle;
  w.cls = cls;
  w.style = style & ~(WS_VISIBLE | WS_MINIMIZE);
  w.exStyle = exStyle;
  w.rect = {x, y, x + width, y + height};
  w.proc = cls->info.lpfnWndProc;
  w.instance = instance;
  w.id = child ? LONG_PTR(reinterpret_cast<uintptr_t>(menu)) : 0;
  w.extra.assign(size_t(std::max(cls->info.cbWndExtra, 0)), 0);
  if (child) {
    Link(*parent, w, false);
  } else {
    w.owner = parent ? Root(parent)->handle : nullptr;
    Link(desk, w, true);
    w.realised = true;
    TheDriver().Realise(DescribeForDriver(w));
  }

  CREATESTRUCTA cs{param, instance, menu,        parentHandle, height,    width,
                   y,     x,        LONG(style), windowName,   className, exStyle};
  const LPARAM csParam = reinterpret_cast<LPARAM>(&cs);
  if (!CallProc(hwnd, WM_NCCREATE, 0, csParam) || !FindOwn(hwnd)) {
    if (TWindow* again = FindOwn(hwnd)) {
      again->destroying = true;
      DestroyTree(hwnd);
    }
    return nullptr;
  }
  if (CallProc(hwnd, WM_CREATE, 0, csParam) == -1 || !FindOwn(hwnd)) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  CallProc(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  CallProc(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
  if (style & WS_VISIBLE) ShowWindow(hwnd, (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW);
  return FindOwn(hwnd) ? hwnd : nullptr;
}

extern "C" BOOL WINAPI DestroyWindow(HWND hwnd) {
  TWindow* w = FindOrFail(hwnd);
  if (!w) return FALSE;
  if (hwnd == State().desktop) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (w->destroying) return TRUE;
  w->destroying = true;
  if (w->Visible())
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (HWND other : std::vector<HWND>(Desktop().children))
    if (TWindow* o = FindOwn(other); o && o->owner == hwnd) DestroyWindow(other);
  DestroyTree(hwnd);
  return TRUE;
}

// --- Window data ---

namespace {

bool ExtraSlot(TWindow& w, int index, size_t size) {
  return index >= 0 && size_t(index) + size <= w.extra.size();
}

LONG_PTR ReadLong(TWindow& w, int index, size_t size, bool& ok) {
  ok = true;
  switch (index) {
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w.proc);
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(w.instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(w.owner);
    case GWLP_ID:
      return w.id;
    case GWL_STYLE:
      return LONG(w.style);
    case GWL_EXSTYLE:
      return LONG(w.exStyle);
    case GWLP_USERDATA:
      return w.userData;
  }
  if (!ExtraSlot(w, index, size)) {
    ok = false;
    return 0;
  }
  LONG_PTR value = 0;
  std::memcpy(&value, w.extra.data() + index, size);
  return size == sizeof(LONG) ? LONG_PTR(LONG(value)) : value;
}

LONG_PTR WriteLong(TWindow& w, int index, size_t size, LONG_PTR value, bool& ok) {
  const LONG_PTR old = ReadLong(w, index, size, ok);
  if (!ok) return 0;
  switch (index) {
    case GWLP_WNDPROC:
      w.proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_HINSTANCE:
      w.instance = reinterpret_cast<HINSTANCE>(value);
      break;
    case GWLP_HWNDPARENT:
      ok = false;
      return 0;
    case GWLP_ID:
      w.id = value;
      break;
    case GWL_STYLE:
      w.style = DWORD(value);
      break;
    case GWL_EXSTYLE:
      w.exStyle = DWORD(value);
      break;
    case GWLP_USERDATA:
      w.userData = value;
      break;
    default:
      std::memcpy(w.extra.data() + index, &value, size);
  }
  return old;
}

LONG_PTR AccessLong(HWND hwnd, int index, size_t size, const LONG_PTR* value) {
  TWindow* w = FindOrFail(hwnd);
  if (!w) return 0;
  bool ok = false;
  const LONG_PTR result =
      value ? WriteLong(*w, index, size, *value, ok) : ReadLong(*w, index, size, ok);
  if (!ok) SetLastError(ERROR_INVALID_INDEX);
  return result;
}

}  // namespace

extern "C" LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
  return AccessLong(hwnd, index, sizeof(LONG_PTR), nullptr);
}
extern "C" LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  return AccessLong(hwnd, index, sizeof(LONG_PTR), &value);
}
extern "C" LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
  return LONG(AccessLong(hwnd, index, sizeof(LONG), nullptr));
}
extern "C" LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
  const LONG_PTR wide = value;
  return LONG(AccessLong(hwnd, index, sizeof(LONG), &wide));
}

// --- Texts ---

extern "C" int WINAPI GetWindowTextA(HWND hwnd, LPSTR buffer, int max) {
  if (buffer && max > 0) buffer[0] = '\0';
  TWindow* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (w->foreign) {
    ForeignWindow info;
    int copied;
    ForeignInfo(*w, info);
    Copy(info.text, buffer, max, copied);
    return copied;
  }
  if (!buffer || max <= 0) return 0;
  return int(SendMessageA(hwnd, WM_GETTEXT, WPARAM(max), reinterpret_cast<LPARAM>(buffer)));
}

extern "C" int WINAPI GetWindowTextLengthA(HWND hwnd) {
  TWindow* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  ForeignWindow info;
  if (w->foreign) return ForeignInfo(*w, info) ? int(info.text.size()) : 0;
  return int(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

extern "C" BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
  if (!FindOrFail(hwnd)) return FALSE;
  return BOOL(SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

namespace platform::core {

// The default handling of the text messages, shared by DefWindowProcA.
LRESULT DefaultText(TWindow& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      w.text = text ? text : "";
      if (w.realised) TheDriver().SetText(w.handle, w.text);
      return TRUE;
    }
    case WM_GETTEXT: {
      int copied;
      Copy(w.text, reinterpret_cast<LPSTR>(lParam), int(wParam), copied);
      return copied;
    }
    case WM_GETTEXTLENGTH:
      return LRESULT(w.text.size());
  }
  return 0;
}

}  // namespace platform::core

extern "C" BOOL WINAPI IsWindow(HWND hwnd) {
  return Find(hwnd) != nullptr;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND hwnd) {
  TWindow* w = Find(hwnd);
  return w && ReallyVisible(*w);
}

extern "C" BOOL WINAPI IsIconic(HWND hwnd) {
  TWindow* w = Find(hwnd);
  if (!w) return FALSE;
  ForeignWindow info;
  if (w->foreign) return ForeignInfo(*w, info) && info.iconic;
  return w->Iconic();
}

extern "C" BOOL WINAPI IsWindowEnabled(HWND hwnd) {
  TWindow* w = FindOwn(hwnd);
  return w && !(w->style & WS_DISABLED);
}

extern "C" BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
  TWindow* w = FindOrFail(hwnd);
  if (!w) return FALSE;
  const bool wasDisabled = (w->style & WS_DISABLED) != 0;
  if (wasDisabled == !enable) return wasDisabled;
  if (enable) {
    w->style &= ~DWORD(WS_DISABLED);
  } else {
    w->style |= WS_DISABLED;
    if (State().focus == hwnd) SetFocus(nullptr);
    if (State().capture == hwnd) ReleaseCapture();
  }
  CallProc(hwnd, WM_ENABLE, WPARAM(enable ? TRUE : FALSE), 0);
  return wasDisabled;
}
