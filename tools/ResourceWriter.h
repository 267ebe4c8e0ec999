// Writing resource directories and VS_VERSIONINFO blocks, shared by the resource compiler and
// by tests that need resources of a given shape (sound or damaged). Layer: build tools
// (header only).
#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "platform/core/LittleEndian.h"
#include "platform/core/ResourceFormat.h"

namespace resources {

using Bytes = std::vector<uint8_t>;

// --- Bytes ---

using platform::le::Put16;
using platform::le::Put32;

inline void Set16(Bytes& out, size_t at, uint32_t value) {
  out[at] = value & 0xFF;
  out[at + 1] = (value >> 8) & 0xFF;
}

inline void Set32(Bytes& out, size_t at, uint32_t value) {
  Set16(out, at, value & 0xFFFF);
  Set16(out, at + 2, value >> 16);
}

inline void PadTo(Bytes& out, size_t alignment) {
  while (out.size() % alignment)
    out.push_back(0);
}

// --- The directory being built ---

// A resource type or name: an integer identifier or an upper-case name.
using Key = std::variant<uint16_t, std::string>;

struct Resource {
  Key type;
  Key name;
  Bytes data;
};

inline Bytes BuildDirectory(const std::vector<Resource>& resources) {
  using namespace platform::rsrc;
  Bytes out(kHeaderSize + resources.size() * kEntrySize, 0);
  std::memcpy(out.data(), kMagic, sizeof kMagic);
  Set32(out, 4, kVersion);
  Set32(out, 8, static_cast<uint32_t>(resources.size()));
  auto putKey = [&out](size_t at, const Key& key) {
    if (const auto* id = std::get_if<uint16_t>(&key)) {
      Set32(out, at, *id);
      return;
    }
    Set32(out, at, kNamedFlag | static_cast<uint32_t>(out.size()));
    const auto& name = std::get<std::string>(key);
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
  };
  for (size_t i = 0; i < resources.size(); ++i) {
    const size_t at = kHeaderSize + i * kEntrySize;
    putKey(at, resources[i].type);
    putKey(at + 4, resources[i].name);
  }
  for (size_t i = 0; i < resources.size(); ++i) {
    PadTo(out, kDataAlignment);
    const size_t at = kHeaderSize + i * kEntrySize;
    Set32(out, at + 8, static_cast<uint32_t>(out.size()));
    Set32(out, at + 12, static_cast<uint32_t>(resources[i].data.size()));
    out.insert(out.end(), resources[i].data.begin(), resources[i].data.end());
  }
  PadTo(out, kDataAlignment);
  Set32(out, 12, static_cast<uint32_t>(out.size()));
  return out;
}

// --- The version block ---

// One node of VS_VERSIONINFO: key, value (text or binary) and children. Offsets are aligned
// on 32 bits from the start of the block; a node's length leaves out the padding after it.
struct VersionNode {
  std::u16string key;
  bool text = false;
  Bytes value;  // text: UTF-16 with its terminator
  uint16_t valueLength = 0;
  std::vector<VersionNode> children;
};

inline void WriteVersionNode(Bytes& out, const VersionNode& node) {
  PadTo(out, 4);
  const size_t start = out.size();
  Put16(out, 0);
  Put16(out, node.valueLength);
  Put16(out, node.text ? 1 : 0);
  for (const char16_t unit : node.key)
    Put16(out, unit);
  Put16(out, 0);
  PadTo(out, 4);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const auto& child : node.children)
    WriteVersionNode(out, child);
  if (out.size() - start > 0xFFFF) throw std::length_error("version block too long");
  Set16(out, start, static_cast<uint32_t>(out.size() - start));
}

inline VersionNode TextValue(std::u16string key, const std::u16string& text) {
  VersionNode node;
  node.key = std::move(key);
  node.text = true;
  for (const char16_t unit : text)
    Put16(node.value, unit);
  Put16(node.value, 0);
  node.valueLength = static_cast<uint16_t>(text.size() + 1);
  return node;
}

inline VersionNode BinaryValue(std::u16string key, Bytes value) {
  VersionNode node;
  node.key = std::move(key);
  node.value = std::move(value);
  node.valueLength = static_cast<uint16_t>(node.value.size());
  return node;
}

inline VersionNode Block(std::u16string key, std::vector<VersionNode> children) {
  VersionNode node;
  node.key = std::move(key);
  node.children = std::move(children);
  return node;
}

inline Bytes VersionBlock(const VersionNode& root) {
  Bytes block;
  WriteVersionNode(block, root);
  return block;
}

}  // namespace resources
