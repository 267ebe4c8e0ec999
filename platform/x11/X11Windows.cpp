// Other programs' windows: the stacking walk, names and classes, and posted messages.
// Internal to platform/x11.
#include "platform/x11/X11Windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "platform/core/CodePage.h"
#include "platform/x11/X11Display.h"

namespace platform::x11 {

namespace {

constexpr uint32_t kWithdrawnState = 0;
constexpr uint32_t kNormalState = 1;
constexpr uint32_t kIconicState = 3;
constexpr int kFrameDepth = 3;  // how deep a window manager nests a client in its frame
// Property lengths asked for, in 32-bit units: a window text is capped far above anything Win32
// reads; WM_STATE holds two values.
constexpr uint32_t kTextLength = 16384;
constexpr uint32_t kStateLength = 2;

// The reading asks the server through XCB on Xlib's own connection: every request of a step
// goes out at once and the answers are collected after, so a step costs one round trip however
// many windows it asks about. An error (a window gone meanwhile) comes back as the answer to
// its request and never reaches Xlib's error handler.
xcb_connection_t* Xcb(const TX11Display& display) {
  return XGetXCBConnection(display.Dpy());
}

template <typename Reply>
struct TFreed {
  void operator()(Reply* reply) const { std::free(reply); }
};
template <typename Reply>
using TReply = std::unique_ptr<Reply, TFreed<Reply>>;

xcb_get_property_cookie_t AskProperty(xcb_connection_t* c, Window w, Atom property,
                                      uint32_t length) {
  return xcb_get_property(c, 0, xcb_window_t(w), xcb_atom_t(property), XCB_GET_PROPERTY_TYPE_ANY, 0,
                          length);
}

// A property's answer, or null when the window is gone or has no such property.
TReply<xcb_get_property_reply_t> TakeProperty(xcb_connection_t* c,
                                              xcb_get_property_cookie_t cookie) {
  TReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
  if (reply && reply->type == XCB_NONE) reply.reset();
  return reply;
}

std::string Bytes(xcb_get_property_reply_t* reply) {
  if (!reply || reply->format != 8) return {};
  return std::string(static_cast<const char*>(xcb_get_property_value(reply)),
                     std::size_t(xcb_get_property_value_length(reply)));
}

// The window's state from its WM_STATE property; false when it carries none.
bool State(xcb_get_property_reply_t* reply, uint32_t* state = nullptr) {
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply) < 1) return false;
  if (state != nullptr) *state = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
  return true;
}

// Windows-1252 text of a window: its UTF-8 name, else its ISO 8859-1 one (or UTF-8, when typed
// so).
std::string Text(const TX11Display& display, xcb_get_property_reply_t* netName,
                 xcb_get_property_reply_t* name) {
  const Atom utf8 = display.Atoms().utf8String;
  if (netName && netName->format == 8 && netName->type == utf8)
    return Cp1252FromUtf8(Bytes(netName));
  if (name && name->format == 8)
    return name->type == utf8 ? Cp1252FromUtf8(Bytes(name)) : Cp1252FromLatin1(Bytes(name));
  return {};
}

// The class part of WM_CLASS, the text after the instance name's terminating zero.
std::string ClassPart(xcb_get_property_reply_t* reply) {
  if (!reply || reply->type != XCB_ATOM_STRING) return {};
  const std::string bytes = Bytes(reply);
  const std::size_t zero = bytes.find('\0');
  if (zero == std::string::npos) return {};
  const std::string rest = bytes.substr(zero + 1);
  return Cp1252FromLatin1(rest.substr(0, rest.find('\0')));
}

// A window's children, bottom-most first, as the server lists them; empty when it is gone.
struct TChildren {
  std::vector<Window> windows;
  bool ok = false;
};

std::vector<TChildren> QueryTrees(xcb_connection_t* c, const std::vector<Window>& parents) {
  std::vector<xcb_query_tree_cookie_t> cookies;
  cookies.reserve(parents.size());
  for (Window w : parents)
    cookies.push_back(xcb_query_tree(c, xcb_window_t(w)));
  std::vector<TChildren> result(parents.size());
  for (std::size_t i = 0; i < parents.size(); ++i) {
    TReply<xcb_query_tree_reply_t> reply(xcb_query_tree_reply(c, cookies[i], nullptr));
    if (!reply) continue;
    const xcb_window_t* children = xcb_query_tree_children(reply.get());
    result[i].windows.assign(children, children + xcb_query_tree_children_length(reply.get()));
    result[i].ok = true;
  }
  return result;
}

// What the walk learnt of one window under the root: whether it carries WM_STATE and, when it
// does not and lies shallow enough, its children.
struct TNode {
  bool hasState = false;
  std::vector<Window> children;  // bottom-most first
};

// The client window inside a frame: the first window down the tree, top-most children first,
// that carries WM_STATE.
Window FindClient(const std::unordered_map<Window, TNode>& nodes, Window w, int depth) {
  const auto it = nodes.find(w);
  if (it == nodes.end()) return 0;
  if (it->second.hasState) return w;
  if (depth == 0) return 0;
  const std::vector<Window>& children = it->second.children;
  for (std::size_t i = children.size(); i-- > 0;)
    if (const Window found = FindClient(nodes, children[i], depth - 1)) return found;
  return 0;
}

uint32_t Low32(uint64_t v) {
  return uint32_t(v & 0xFFFFFFFFu);
}

}  // namespace

std::vector<TTopLevel> WalkTopLevels(const TX11Display& display) {
  xcb_connection_t* c = Xcb(display);
  const std::vector<TChildren> root = QueryTrees(c, {display.Root()});
  if (!root[0].ok) return {};
  // Level by level down to the frame depth: first whether each window of the level carries
  // WM_STATE, then the children of those that do not.
  std::unordered_map<Window, TNode> nodes;
  std::vector<Window> level = root[0].windows;
  for (int depth = kFrameDepth; !level.empty(); --depth) {
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(level.size());
    for (Window w : level)
      cookies.push_back(AskProperty(c, w, display.Atoms().wmState, kStateLength));
    std::vector<Window> parents;
    for (std::size_t i = 0; i < level.size(); ++i) {
      const auto reply = TakeProperty(c, cookies[i]);
      TNode& node = nodes[level[i]];
      node.hasState = State(reply.get());
      if (!node.hasState && depth > 0) parents.push_back(level[i]);
    }
    std::vector<TChildren> children = QueryTrees(c, parents);
    level.clear();
    for (std::size_t i = 0; i < parents.size(); ++i) {
      level.insert(level.end(), children[i].windows.begin(), children[i].windows.end());
      nodes[parents[i]].children = std::move(children[i].windows);
    }
  }
  std::vector<TTopLevel> topFirst;
  // The root lists its children bottom-most first.
  for (std::size_t i = root[0].windows.size(); i-- > 0;) {
    const Window frame = root[0].windows[i];
    const Window client = FindClient(nodes, frame, kFrameDepth);
    topFirst.push_back({frame, client != 0 ? client : frame});
  }
  return topFirst;
}

std::vector<std::optional<ForeignWindow>> DescribeWindows(const TX11Display& display,
                                                          const std::vector<Window>& windows) {
  xcb_connection_t* c = Xcb(display);
  const TAtoms& atoms = display.Atoms();
  struct TAsked {
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t corner;
    xcb_get_property_cookie_t netName, name, ownClass, classHint, state;
  };
  std::vector<TAsked> asked;
  asked.reserve(windows.size());
  for (Window w : windows) {
    const xcb_window_t x = xcb_window_t(w);
    asked.push_back({xcb_get_window_attributes(c, x), xcb_get_geometry(c, x),
                     xcb_translate_coordinates(c, x, xcb_window_t(display.Root()), 0, 0),
                     AskProperty(c, w, atoms.netWmName, kTextLength),
                     AskProperty(c, w, XA_WM_NAME, kTextLength),
                     AskProperty(c, w, atoms.calvixClass, kTextLength),
                     AskProperty(c, w, XA_WM_CLASS, kTextLength),
                     AskProperty(c, w, atoms.wmState, kStateLength)});
  }
  std::vector<std::optional<ForeignWindow>> result(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const TAsked& a = asked[i];
    // Every answer is collected, so none is left waiting in the connection.
    TReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, a.attributes, nullptr));
    TReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, a.geometry, nullptr));
    TReply<xcb_translate_coordinates_reply_t> corner(
        xcb_translate_coordinates_reply(c, a.corner, nullptr));
    const auto netName = TakeProperty(c, a.netName), name = TakeProperty(c, a.name);
    const auto ownClass = TakeProperty(c, a.ownClass), classHint = TakeProperty(c, a.classHint);
    const auto state = TakeProperty(c, a.state);
    // A window gone before any of the answers does not exist.
    if (!attributes || !geometry || !corner) continue;
    ForeignWindow& out = result[i].emplace();
    out.key = windows[i];
    out.text = Text(display, netName.get(), name.get());
    out.className =
        ownClass && ownClass->format == 8 ? Bytes(ownClass.get()) : ClassPart(classHint.get());
    // A minimised window still counts as visible on Windows; a withdrawn one does not.
    uint32_t wmState = kWithdrawnState;
    if (State(state.get(), &wmState)) {
      out.visible = wmState == kNormalState || wmState == kIconicState;
      out.iconic = wmState == kIconicState;
    } else {
      out.visible = attributes->map_state != XCB_MAP_STATE_UNMAPPED;
    }
    out.bounds = RECT{corner->dst_x, corner->dst_y, corner->dst_x + geometry->width,
                      corner->dst_y + geometry->height};
  }
  return result;
}

bool DescribeWindow(const TX11Display& display, Window w, ForeignWindow& out) {
  std::optional<ForeignWindow> found = DescribeWindows(display, {w})[0];
  if (found) out = std::move(*found);
  return found.has_value();
}

void EncodePostedMessage(const TPostedMessage& message, long (&data)[5]) {
  const uint64_t w = uint64_t(message.wParam), l = uint64_t(message.lParam);
  data[0] = long(Low32(message.msg));
  data[1] = long(Low32(w));
  data[2] = long(Low32(l));
  data[3] = long(Low32(w >> 32));
  data[4] = long(Low32(l >> 32));
}

TPostedMessage DecodePostedMessage(const long (&data)[5]) {
  // Each field arrives sign-extended from 32 bits: only the low halves are ours.
  auto half = [&](int i) { return uint64_t(Low32(uint64_t(data[i]))); };
  TPostedMessage message;
  message.msg = UINT(half(0));
  message.wParam = WPARAM(half(1) | (half(3) << 32));
  message.lParam = LPARAM(half(2) | (half(4) << 32));
  return message;
}

}  // namespace platform::x11
