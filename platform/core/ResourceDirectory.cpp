// The resource directory reader. Layer: platform core.
#include "platform/core/ResourceDirectory.h"

#include <cstring>

#include "platform/core/ResourceFormat.h"

namespace platform {

namespace {

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

ResourceKey ResourceKey::FromArgument(LPCSTR argument) {
  ResourceKey key;
  if (IS_INTRESOURCE(argument)) {
    key.id = LOWORD(argument);
    return key;
  }
  std::string_view text(argument);
  // "#123" names the integer 123, as the Windows resource functions read it.
  if (text.size() > 1 && text[0] == '#') {
    unsigned value = 0;
    bool digits = true;
    for (const char c : text.substr(1)) {
      digits = digits && c >= '0' && c <= '9' && value <= 0xFFFF;
      value = value * 10 + (c - '0');
    }
    if (digits && value >= 1 && value <= 0xFFFF) {
      key.id = static_cast<WORD>(value);
      return key;
    }
  }
  key.name.assign(text);
  for (char& c : key.name)
    c = UpperAscii(c);
  if (key.name.empty()) key.name = "#";  // an empty name matches nothing
  return key;
}

ResourceDirectory::ResourceDirectory(std::span<const uint8_t> bytes) : FBytes(bytes) {
  using namespace rsrc;
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    return;
  }
  if (Word(4) != kVersion || Word(12) < kHeaderSize || Word(12) > bytes.size()) return;
  FBytes = bytes.first(Word(12));
  FCount = Word(8);
  if (FCount > (FBytes.size() - kHeaderSize) / kEntrySize) return;
  FValid = true;
}

uint32_t ResourceDirectory::Word(uint32_t offset) const {
  uint32_t value = 0;
  if (offset <= FBytes.size() && FBytes.size() - offset >= sizeof value) {
    std::memcpy(&value, FBytes.data() + offset, sizeof value);
  }
  return value;
}

bool ResourceDirectory::Matches(uint32_t field, const ResourceKey& key) const {
  if (!(field & rsrc::kNamedFlag)) return key.IsInteger() && field == key.id;
  if (key.IsInteger()) return false;
  const uint32_t offset = field & ~rsrc::kNamedFlag;
  if (offset >= FBytes.size()) return false;
  const auto* text = reinterpret_cast<const char*>(FBytes.data() + offset);
  const size_t room = FBytes.size() - offset;
  const size_t length = strnlen(text, room);
  if (length == room) return false;  // a name without its terminator is damage
  if (length != key.name.size()) return false;
  for (size_t i = 0; i < length; ++i) {
    if (UpperAscii(text[i]) != key.name[i]) return false;
  }
  return true;
}

std::optional<ResourceDirectory::Entry> ResourceDirectory::At(uint32_t index) const {
  if (index >= Count()) return std::nullopt;
  const uint32_t at = rsrc::kHeaderSize + index * rsrc::kEntrySize;
  const uint32_t offset = Word(at + 8);
  const uint32_t size = Word(at + 12);
  if (offset > FBytes.size() || size > FBytes.size() - offset) return std::nullopt;
  return Entry{index, FBytes.subspan(offset, size)};
}

std::optional<ResourceDirectory::Entry> ResourceDirectory::Find(const ResourceKey& type,
                                                                const ResourceKey& name) const {
  for (uint32_t i = 0; i < Count(); ++i) {
    const uint32_t at = rsrc::kHeaderSize + i * rsrc::kEntrySize;
    if (Matches(Word(at), type) && Matches(Word(at + 4), name)) return At(i);
  }
  return std::nullopt;
}

}  // namespace platform
