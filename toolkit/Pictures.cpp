// Icons and pictures. Toolkit layer.
#include "toolkit/Pictures.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

const std::string kIcoExtension = ".ico";
const std::string kBmpExtension = ".bmp";

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && SameText(text.substr(text.size() - tail.size()), tail);
}

}  // namespace

// --- TIcon ---

TIcon::~TIcon() {
  if (FHandle != nullptr) DestroyIcon(FHandle);
}

void TIcon::SetWidth(int) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}
void TIcon::SetHeight(int) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHandle(HICON icon) {
  if (icon == FHandle) return;
  if (FHandle != nullptr) DestroyIcon(FHandle);
  FHandle = icon;
  FData.clear();
  FWidth = FHeight = 0;
  ICONINFO info{};
  if (icon != nullptr && GetIconInfo(icon, &info)) {
    BITMAP bm{};
    HBITMAP sized = info.hbmColor != nullptr ? info.hbmColor : info.hbmMask;
    if (GetObjectA(sized, sizeof(bm), &bm) != 0) {
      FWidth = bm.bmWidth;
      FHeight = info.hbmColor != nullptr ? bm.bmHeight : bm.bmHeight / 2;
    }
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  }
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON icon = FHandle;
  FHandle = nullptr;
  FWidth = FHeight = 0;
  FData.clear();
  return icon;
}

void TIcon::LoadFromFile(const std::string& fileName) {
  HANDLE icon = LoadImageA(nullptr, fileName.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
  if (icon == nullptr) throw EInvalidGraphic("Icon image is not valid (" + fileName + ")");
  std::vector<uint8_t> data;
  try {
    TFileStream file(fileName, fmOpenRead);
    data = file.ReadRest();
  } catch (const EStreamError&) {
    // The platform found the file under a name the standard library cannot open; the icon
    // is loaded all the same, it just cannot be saved again.
  }
  SetHandle(static_cast<HICON>(icon));
  FData = std::move(data);
}

void TIcon::LoadFromStream(TStream& stream) {
  LoadFromBytes(stream.ReadRest());
}

namespace {

// The ICO file's directory, as a Windows program reads it: a header of three words, then one
// entry per image. A group icon resource's directory has the same header, and entries that end
// in the id of the resource holding the image instead of the image's offset.
#pragma pack(push, 2)
struct TIconDir {
  WORD reserved, type, count;
};
struct TIconDirEntry {
  BYTE width, height, colorCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes, imageOffset;
};
struct TGroupIconDirEntry {
  BYTE width, height, colorCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(TIconDir) == 6 && sizeof(TIconDirEntry) == 16 &&
              sizeof(TGroupIconDirEntry) == 14);

TIconDirEntry IcoEntry(const std::vector<uint8_t>& bytes, size_t index) {
  TIconDirEntry entry;
  std::memcpy(&entry, bytes.data() + sizeof(TIconDir) + index * sizeof entry, sizeof entry);
  return entry;
}

// The entry that suits the system's icon size best, or -1. The system chooses
// (LookupIconIdFromDirectoryEx) from the file's directory retold as a group directory whose ids
// are the entries' positions plus one.
int ChooseIcoEntry(const std::vector<uint8_t>& bytes) {
  TIconDir dir;
  if (bytes.size() < sizeof dir) return -1;
  std::memcpy(&dir, bytes.data(), sizeof dir);
  if (dir.reserved != 0 || dir.type != 1) return -1;
  if ((bytes.size() - sizeof dir) / sizeof(TIconDirEntry) < dir.count) return -1;
  std::vector<BYTE> group(sizeof dir + dir.count * sizeof(TGroupIconDirEntry));
  std::memcpy(group.data(), &dir, sizeof dir);
  for (size_t i = 0; i < dir.count; ++i) {
    const TIconDirEntry from = IcoEntry(bytes, i);
    const TGroupIconDirEntry to{from.width,  from.height,   from.colorCount, from.reserved,
                                from.planes, from.bitCount, from.bytesInRes, WORD(i + 1)};
    std::memcpy(group.data() + sizeof dir + i * sizeof to, &to, sizeof to);
  }
  return LookupIconIdFromDirectoryEx(group.data(), TRUE, 0, 0, LR_DEFAULTCOLOR) - 1;
}

}  // namespace

void TIcon::LoadFromBytes(const std::vector<uint8_t>& bytes) {
  const int entry = ChooseIcoEntry(bytes);
  HICON icon = nullptr;
  if (entry >= 0) {
    const TIconDirEntry chosen = IcoEntry(bytes, size_t(entry));
    const size_t size = chosen.bytesInRes, offset = chosen.imageOffset;
    if (offset <= bytes.size() && size <= bytes.size() - offset)
      icon = CreateIconFromResourceEx(const_cast<uint8_t*>(bytes.data()) + offset, DWORD(size),
                                      TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
  }
  if (icon == nullptr) throw EInvalidGraphic("Icon image is not valid");
  SetHandle(icon);
  FData = bytes;
}

void TIcon::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](const std::vector<uint8_t>& bytes) { LoadFromBytes(bytes); },
      [this] { return FData; }, !FData.empty());
}

void TIcon::SaveToStream(TStream& stream) const {
  if (FData.empty()) throw EInvalidGraphicOperation("Icon has no image to save");
  stream.WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TIcon::Assign(const TPersistent* source) {
  const auto* icon = dynamic_cast<const TIcon*>(source);
  if (icon == nullptr) return TGraphic::Assign(source);
  if (icon == this) return;
  HICON copy = nullptr;
  ICONINFO info{};
  if (icon->FHandle != nullptr && GetIconInfo(icon->FHandle, &info)) {
    copy = CreateIconIndirect(&info);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  }
  std::vector<uint8_t> data = icon->FData;
  SetHandle(copy);
  FData = std::move(data);
}

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
  DrawIconEx(canvas.Handle(), rect.left, rect.top, FHandle, rect.right - rect.left,
             rect.bottom - rect.top, 0, nullptr, DI_NORMAL);
}

// --- TPicture ---

TPicture::~TPicture() = default;

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  FGraphic = std::move(graphic);
  if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::Changed() {
  OnChange(this);
}

template <class G>
G& TPicture::Ensure() {
  if (auto* g = dynamic_cast<G*>(FGraphic.get())) return *g;
  Take(std::make_unique<G>());
  return static_cast<G&>(*FGraphic);
}

TBitmap& TPicture::Bitmap() {
  return Ensure<TBitmap>();
}
TIcon& TPicture::Icon() {
  return Ensure<TIcon>();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (graphic == nullptr) return Take(nullptr);
  std::unique_ptr<TGraphic> copy;
  if (dynamic_cast<const TBitmap*>(graphic))
    copy = std::make_unique<TBitmap>();
  else if (dynamic_cast<const TIcon*>(graphic))
    copy = std::make_unique<TIcon>();
  else
    throw EInvalidGraphic("Unknown picture kind");
  copy->Assign(graphic);
  Take(std::move(copy));
}

void TPicture::LoadFromFile(const std::string& fileName) {
  std::unique_ptr<TGraphic> graphic;
  if (EndsWithNoCase(fileName, kBmpExtension))
    graphic = std::make_unique<TBitmap>();
  else if (EndsWithNoCase(fileName, kIcoExtension))
    graphic = std::make_unique<TIcon>();
  else
    throw EInvalidGraphic("Unknown picture file extension (" + fileName + ")");
  graphic->LoadFromFile(fileName);
  Take(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) const {
  if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::DefineProperties(TFiler& filer) {
  auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get());
  filer.DefineBinaryProperty(
      "Data", [this](const std::vector<uint8_t>& bytes) { Bitmap().LoadFromBytes(bytes); },
      [bitmap] { return bitmap ? bitmap->SaveToBytes() : std::vector<uint8_t>(); },
      bitmap != nullptr && !bitmap->Empty());
}

void TPicture::Assign(const TPersistent* source) {
  if (source == nullptr) return SetGraphic(nullptr);
  if (const auto* picture = dynamic_cast<const TPicture*>(source))
    return SetGraphic(picture->Graphic());
  if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) return SetGraphic(graphic);
  TPersistent::Assign(source);
}
