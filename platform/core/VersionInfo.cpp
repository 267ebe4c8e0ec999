// The VS_VERSIONINFO reader and VerQueryValueA. Layer: platform core.
#include "platform/core/VersionInfo.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "platform/core/CodePage.h"
#include "platform/core/LittleEndian.h"
#include "platform/win32/kernel.h"

namespace platform {

namespace {

constexpr uint32_t kNodeHeader = 6;  // wLength, wValueLength, wType
constexpr WORD kTextType = 1;
constexpr char kCopiesMark[4] = {'F', 'E', '2', 'X'};
constexpr std::u16string_view kRootKey = u"VS_VERSION_INFO";

uint32_t Align4(uint32_t offset) {
  return (offset + 3) & ~3u;
}

WORD WordAt(const uint8_t* bytes, uint32_t offset) {
  return le::Read16(bytes + offset);
}

// One node of the tree: a header, a UTF-16 key, a value and children, each part starting on a
// 32-bit boundary counted from the start of the block.
struct Node {
  uint32_t start = 0;
  uint32_t end = 0;
  uint32_t keyStart = 0;
  uint32_t keyUnits = 0;
  uint32_t valueStart = 0;
  uint32_t valueBytes = 0;
  WORD valueLength = 0;  // as stored: characters for text, bytes otherwise
  WORD type = 0;
  uint32_t childrenStart = 0;
};

// Reads the node at `start`, which must end by `limit`. Text values that claim more than their
// node holds are cut to it (some tools count bytes where characters are meant); binary values
// that overrun, keys without a terminator and lengths beyond the parent are damage.
std::optional<Node> ParseNode(const uint8_t* block, uint32_t start, uint32_t limit) {
  if (start > limit || limit - start < kNodeHeader) return std::nullopt;
  Node node;
  node.start = start;
  const WORD length = WordAt(block, start);
  if (length < kNodeHeader || length > limit - start) return std::nullopt;
  node.end = start + length;
  node.valueLength = WordAt(block, start + 2);
  node.type = WordAt(block, start + 4);
  node.keyStart = start + kNodeHeader;
  uint32_t at = node.keyStart;
  while (true) {
    if (node.end - at < sizeof(WORD)) return std::nullopt;
    if (WordAt(block, at) == 0) break;
    at += sizeof(WORD);
  }
  node.keyUnits = (at - node.keyStart) / sizeof(WORD);
  node.valueStart = std::min(Align4(at + sizeof(WORD)), node.end);
  const uint32_t room = node.end - node.valueStart;
  const bool text = node.type == kTextType;
  node.valueBytes = text ? node.valueLength * 2u : node.valueLength;
  if (node.valueBytes > room) {
    if (!text) return std::nullopt;
    node.valueBytes = room & ~1u;
    node.valueLength = static_cast<WORD>(node.valueBytes / 2);
  }
  node.childrenStart = std::min(Align4(node.valueStart + node.valueBytes), node.end);
  return node;
}

char FoldAscii(char32_t c) {
  return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

bool KeyIs(const uint8_t* block, const Node& node, std::string_view name) {
  if (node.keyUnits != name.size()) return false;
  for (uint32_t i = 0; i < node.keyUnits; ++i) {
    const char32_t unit = WordAt(block, node.keyStart + i * 2);
    const char32_t wanted = UnicodeFromCp1252(static_cast<unsigned char>(name[i]));
    if (unit != wanted && (unit > 0x7F || FoldAscii(unit) != FoldAscii(wanted))) return false;
  }
  return true;
}

std::optional<Node> FindChild(const uint8_t* block, const Node& parent, std::string_view name) {
  uint32_t at = parent.childrenStart;
  while (parent.end - at >= kNodeHeader) {
    const auto child = ParseNode(block, at, parent.end);
    if (!child) return std::nullopt;
    if (KeyIs(block, *child, name)) return child;
    at = Align4(child->end);
    if (at > parent.end) return std::nullopt;
  }
  return std::nullopt;
}

// Walks the backslash-separated path from the root; empty components are skipped.
std::optional<Node> FindPath(const uint8_t* block, uint32_t blockLength, std::string_view path) {
  auto node = ParseNode(block, 0, blockLength);
  size_t pos = 0;
  while (node && pos <= path.size()) {
    const size_t end = std::min(path.find('\\', pos), path.size());
    if (end > pos) node = FindChild(block, *node, path.substr(pos, end - pos));
    pos = end + 1;
  }
  return node;
}

bool HasCopiesArea(const uint8_t* buffer, uint32_t blockLength) {
  return std::memcmp(buffer + Align4(blockLength), kCopiesMark, sizeof kCopiesMark) == 0;
}

// Writes the Windows-1252 copy of a text value into the buffer's copies area, at the value's
// own offset, so that every string keeps one stable place; the copy is always terminated.
char* CopyText(uint8_t* buffer, uint32_t blockLength, const Node& node) {
  char* copy =
      reinterpret_cast<char*>(buffer + Align4(blockLength) + sizeof kCopiesMark + node.valueStart);
  for (uint32_t i = 0; i < node.valueLength; ++i) {
    const char32_t unit = WordAt(buffer, node.valueStart + i * 2);
    const unsigned char byte = Cp1252FromUnicode(unit);
    copy[i] = static_cast<char>(byte != 0 || unit == 0 ? byte : '?');
  }
  copy[node.valueLength] = '\0';
  return copy;
}

}  // namespace

uint32_t VersionBlockLength(std::span<const uint8_t> resource) {
  if (resource.size() < kNodeHeader) return 0;
  const auto limit = static_cast<uint32_t>(std::min<size_t>(resource.size(), 0xFFFF));
  const auto root = ParseNode(resource.data(), 0, limit);
  if (!root || root->keyUnits != kRootKey.size()) return 0;
  for (uint32_t i = 0; i < root->keyUnits; ++i) {
    if (WordAt(resource.data(), root->keyStart + i * 2) != kRootKey[i]) return 0;
  }
  return root->end;
}

DWORD VersionBufferSize(uint32_t blockLength) {
  return 2 * Align4(blockLength) + 2 * sizeof kCopiesMark;
}

bool FillVersionBuffer(std::span<const uint8_t> block, void* buffer, DWORD size) {
  auto* out = static_cast<uint8_t*>(buffer);
  const auto length = static_cast<uint32_t>(block.size());
  if (size >= VersionBufferSize(length)) {
    std::memset(out, 0, VersionBufferSize(length));
    std::memcpy(out, block.data(), length);
    std::memcpy(out + Align4(length), kCopiesMark, sizeof kCopiesMark);
    return true;
  }
  // The root's length is cut to what fits before a blank mark, so that no walk of this buffer
  // leaves it; nodes that no longer fit read as damaged and are not found.
  if (size < kNodeHeader + sizeof kCopiesMark) return false;
  const auto cut = static_cast<WORD>(std::min<uint32_t>((size - sizeof kCopiesMark) & ~3u, length));
  std::memcpy(out, block.data(), cut);
  std::memcpy(out, &cut, sizeof cut);
  std::memset(out + cut, 0, Align4(cut) - cut + sizeof kCopiesMark);
  return cut >= kNodeHeader;
}

}  // namespace platform

// --- Win32 entry point ---

extern "C" BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer,
                                      PUINT puLen) {
  if (!pBlock || !lpSubBlock || !lplpBuffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto* buffer = static_cast<uint8_t*>(const_cast<void*>(pBlock));
  const uint32_t blockLength = platform::WordAt(buffer, 0);
  const auto node = platform::FindPath(buffer, blockLength, lpSubBlock);
  const bool text = node && node->type == platform::kTextType && node->start != 0;
  if (!node || (text && !platform::HasCopiesArea(buffer, blockLength))) {
    if (puLen) *puLen = 0;
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
  }
  *lplpBuffer = text ? static_cast<void*>(platform::CopyText(buffer, blockLength, *node))
                     : static_cast<void*>(buffer + node->valueStart);
  if (puLen) *puLen = node->valueLength;
  return TRUE;
}
