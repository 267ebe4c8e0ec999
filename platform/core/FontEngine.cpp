// Font matching (fontconfig) and rasterisation (FreeType) for the drawing functions. Sizes and
// metrics follow GDI's rules: a negative height is the character (em) height, a positive one
// the cell height, and ascent and descent come from the face's Windows metrics.
// Internal to platform/ (portable core).
#include "platform/core/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <map>
#include <tuple>

#include "platform/core/CodePage.h"
#include "platform/core/FontMatchStore.h"

namespace platform::fonts {
namespace {

constexpr int kDefaultCellHeight = 16;
constexpr int kMaxPixelSize = 2048;
constexpr int kBoldThreshold = 550;
constexpr FT_Fixed kItalicShear = 0x3333;  // 0.2 in 16.16: the slant of a synthesised italic

// Windows face names and the installed families that stand in for them, the metric-compatible
// ones first.
struct TSubstitute {
  const char* windows;
  const char* installed;
};
constexpr TSubstitute kSubstitutes[] = {
    {"ms sans serif", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"},
    {"ms shell dlg", "Liberation Sans"},
    {"ms shell dlg 2", "Liberation Sans"},
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"tahoma", "DejaVu Sans"},
    {"verdana", "DejaVu Sans"},
    {"system", "Liberation Sans"},
    {"small fonts", "DejaVu Sans"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"ms serif", "Liberation Serif"},
    {"comic sans ms", "Comic Neue"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"fixedsys", "DejaVu Sans Mono"},
    {"terminal", "DejaVu Sans Mono"},
    {"", "Liberation Sans"},
};

std::string Lower(std::string s) {
  for (char& c : s)
    c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return library;
}

int Scale(FT_Long units, FT_Fixed scale) {
  return int((FT_MulFix(units, scale) + 32) >> 6);
}

// --- Matching ---

// Reading fontconfig's configuration and caches (some dozens of files) is the slowest step
// before the first text is measured; PrepareFontMatching runs it beside the program's own
// start-up, and the first match waits for it. A run that finds its earlier matches still valid
// in the store never reads it.
std::future<void>& Preparation() {
  static std::future<void> preparation;
  return preparation;
}

TMatchStore& Store() {
  static TMatchStore store{std::string()};
  return store;
}

// Every list fontconfig gives of the files and folders its answers come from, and the places a
// user's own configuration and fonts would be, watched while they do not exist.
std::vector<std::string> WatchedPaths(FcConfig* config) {
  std::vector<std::string> paths;
  auto take = [&paths](FcStrList* list, bool withFolder) {
    if (list == nullptr) return;
    while (const FcChar8* item = FcStrListNext(list)) {
      const std::string path(reinterpret_cast<const char*>(item));
      paths.push_back(path);
      if (withFolder) paths.push_back(std::filesystem::path(path).parent_path().string());
    }
    FcStrListDone(list);
  };
  take(FcConfigGetConfigFiles(config), true);
  take(FcConfigGetConfigDirs(config), false);
  take(FcConfigGetFontDirs(config), false);
  const char* home = std::getenv("HOME");
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const std::string homeDir = home && *home ? home : "";
  const std::string configDir = configHome && *configHome ? configHome
                                : homeDir.empty()         ? ""
                                                          : homeDir + "/.config";
  const std::string dataDir = dataHome && *dataHome ? dataHome
                              : homeDir.empty()     ? ""
                                                    : homeDir + "/.local/share";
  if (!configDir.empty())
    for (const char* leaf : {"/fontconfig", "/fontconfig/fonts.conf", "/fontconfig/conf.d"})
      paths.push_back(configDir + leaf);
  if (!dataDir.empty()) paths.push_back(dataDir + "/fonts");
  if (!homeDir.empty())
    for (const char* leaf : {"/.fonts.conf", "/.fonts.conf.d", "/.fonts"})
      paths.push_back(homeDir + leaf);
  return paths;
}

TMatch AskFontconfig(const TMatchRequest& request) {
  TMatch match;
  if (Preparation().valid()) Preparation().get();
  FcConfig* config = FcConfigGetCurrent();
  if (!FcInit()) return match;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(config, pattern, &result);
  if (found) {
    FcChar8* file = nullptr;
    FcChar8* name = nullptr;
    int index = 0, weight = 0, slant = 0;
    if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch)
      match.file = reinterpret_cast<char*>(file);
    if (FcPatternGetString(found, FC_FAMILY, 0, &name) == FcResultMatch)
      match.family = reinterpret_cast<char*>(name);
    if (FcPatternGetInteger(found, FC_INDEX, 0, &index) == FcResultMatch) match.index = index;
    if (FcPatternGetInteger(found, FC_WEIGHT, 0, &weight) == FcResultMatch)
      match.bold = weight >= FC_WEIGHT_DEMIBOLD;
    if (FcPatternGetInteger(found, FC_SLANT, 0, &slant) == FcResultMatch)
      match.italic = slant != FC_SLANT_ROMAN;
    FcPatternDestroy(found);
  }
  FcPatternDestroy(pattern);
  if (Store().Keeps()) Store().Remember(request, match, WatchedPaths(FcConfigGetCurrent()));
  return match;
}

// The match for a request: the store's while it holds (the face file is among what it watches),
// else fontconfig's.
TMatch Match(const TMatchRequest& request) {
  const TMatch* kept = Store().Find(request);
  return kept ? *kept : AskFontconfig(request);
}

// --- Faces ---

// A face that draws nothing, for a system without any usable font.
class TEmptyFace : public TFace {
 public:
  explicit TEmptyFace(int height) {
    FMetrics.ascent = height - height / 5;
    FMetrics.descent = height / 5;
    FMetrics.aveCharWidth = FMetrics.maxCharWidth = std::max(height / 2, 1);
    FGlyph.advance = FMetrics.aveCharWidth;
  }
  const TFaceMetrics& Metrics() const override { return FMetrics; }
  const TGlyph& Glyph(unsigned char) override { return FGlyph; }
  bool Smooth() const override { return false; }

 private:
  TFaceMetrics FMetrics;
  TGlyph FGlyph;
};

struct TFaceKey {
  std::string file;
  int index;
  int height;
  bool emboldened;
  bool slanted;
  bool smooth;
  auto Tie() const { return std::tie(file, index, height, emboldened, slanted, smooth); }
  bool operator<(const TFaceKey& o) const { return Tie() < o.Tie(); }
};

class TFreeTypeFace : public TFace {
 public:
  TFreeTypeFace(FT_Face face, const TFaceKey& key, const LOGFONTA& log, const TMatch& match)
      : FFace(face), FKey(key) {
    SetSize(log.lfHeight);
    MakeMetrics(log, match);
  }
  ~TFreeTypeFace() override {
    if (FFace) FT_Done_Face(FFace);
  }

  const TFaceMetrics& Metrics() const override { return FMetrics; }
  bool Smooth() const override { return FKey.smooth; }
  const TGlyph& Glyph(unsigned char c) override {
    static const TGlyph kNone;
    if (!FLoaded[c]) {
      if (!FFace && !Reopen()) return kNone;
      FGlyphs[c] = Render(c);
      FLoaded[c] = true;
    }
    return FGlyphs[c];
  }

  int Advance(unsigned char c) override {
    if (FLoaded[c]) return FGlyphs[c].advance;
    if (!FAdvanceKnown[c]) {
      if (!FFace && !Reopen()) return 0;
      FAdvances[c] = Load(c) ? AdvanceOfLoaded() : 0;
      FAdvanceKnown[c] = true;
    }
    return FAdvances[c];
  }

  void ReleaseFile() override {
    if (!FFace) return;
    FT_Done_Face(FFace);
    FFace = nullptr;
    FGlyphs = {};
    FLoaded = {};
  }

 private:
  bool Reopen() {
    if (FT_New_Face(Library(), FKey.file.c_str(), FKey.index, &FFace) != 0) {
      FFace = nullptr;
      return false;
    }
    FT_Set_Pixel_Sizes(FFace, 0, FT_UInt(FPixels));
    return true;
  }

  // The Windows ascent and descent in font units, from the OS/2 table when there is one.
  std::pair<FT_Long, FT_Long> WinExtent() const {
    const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0)
      return {os2->usWinAscent, os2->usWinDescent};
    return {FFace->ascender, -FFace->descender};
  }

  void SetSize(LONG height) {
    const auto [ascent, descent] = WinExtent();
    int pixels = 0;
    if (height < 0) {
      pixels = -height;
    } else {
      const int cell = height == 0 ? kDefaultCellHeight : height;
      const double units = std::max<double>(double(ascent + descent), 1.0);
      pixels = int(std::lround(cell * double(FFace->units_per_EM) / units));
    }
    FPixels = std::clamp(pixels, 1, kMaxPixelSize);
    FT_Set_Pixel_Sizes(FFace, 0, FT_UInt(FPixels));
  }

  void MakeMetrics(const LOGFONTA& log, const TMatch& match) {
    const FT_Fixed y = FFace->size->metrics.y_scale, x = FFace->size->metrics.x_scale;
    const auto [ascent, descent] = WinExtent();
    TFaceMetrics& m = FMetrics;
    m.ascent = Scale(ascent, y);
    m.descent = Scale(descent, y);
    m.internalLeading = std::max(m.ascent + m.descent - FPixels, 0);
    const auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_HHEA));
    if (hhea) {
      const FT_Long gap = hhea->Line_Gap + hhea->Ascender - hhea->Descender - (ascent + descent);
      m.externalLeading = std::max(Scale(gap, y), 0);
    }
    const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_OS2));
    m.aveCharWidth = os2 && os2->xAvgCharWidth > 0 ? Scale(os2->xAvgCharWidth, x) : Advance('x');
    m.maxCharWidth = Scale(FFace->max_advance_width, x);
    m.weight = log.lfWeight == FW_DONTCARE ? FW_NORMAL : int(log.lfWeight);
    m.italic = log.lfItalic != 0;
    m.fixedPitch = FT_IS_FIXED_WIDTH(FFace);
    m.overhang = FKey.emboldened ? 1 : 0;
    m.underlinePosition = std::max(1, -Scale(FFace->underline_position, y));
    m.underlineThickness = std::max(1, Scale(FFace->underline_thickness, y));
    m.strikeoutPosition = std::max(1, m.ascent / 3);
    if (os2 && os2->yStrikeoutPosition > 0) m.strikeoutPosition = Scale(os2->yStrikeoutPosition, y);
    m.family = match.family;
  }

  // Loads a character's glyph, hinted as it will be drawn, into the face's slot.
  bool Load(unsigned char c) {
    const FT_UInt index = FT_Get_Char_Index(FFace, FT_ULong(UnicodeFromCp1252(c)));
    const FT_Int32 target = FKey.smooth ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
    return FT_Load_Glyph(FFace, index, FT_LOAD_DEFAULT | target) == 0;
  }

  // The advance of the glyph in the slot; one more for the emboldening the drawing adds.
  int AdvanceOfLoaded() const {
    return int((FFace->glyph->advance.x + 32) >> 6) + (FKey.emboldened ? 1 : 0);
  }

  TGlyph Render(unsigned char c) {
    TGlyph glyph;
    if (!Load(c)) return glyph;
    FT_GlyphSlot slot = FFace->glyph;
    glyph.advance = AdvanceOfLoaded();
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (FKey.emboldened) FT_Outline_EmboldenXY(&slot->outline, 64, 0);
      if (FKey.slanted) {
        FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
      }
    }
    if (FT_Render_Glyph(slot, FKey.smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
      return glyph;
    Copy(slot, glyph);
    return glyph;
  }

  static void Copy(FT_GlyphSlot slot, TGlyph& glyph) {
    const FT_Bitmap& b = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = int(b.width);
    glyph.height = int(b.rows);
    glyph.coverage.assign(size_t(glyph.width) * glyph.height, 0);
    for (int y = 0; y < glyph.height; ++y) {
      const unsigned char* row = b.buffer + ptrdiff_t(y) * b.pitch;
      for (int x = 0; x < glyph.width; ++x) {
        const bool mono = b.pixel_mode == FT_PIXEL_MODE_MONO;
        const uint8_t value = mono ? ((row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0) : row[x];
        glyph.coverage[size_t(y) * glyph.width + x] = value;
      }
    }
  }

  FT_Face FFace;
  TFaceKey FKey;
  int FPixels = 1;
  TFaceMetrics FMetrics;
  std::array<TGlyph, 256> FGlyphs;
  std::array<bool, 256> FLoaded{};
  // Advances found for measuring, kept while the file is closed: they never change.
  std::array<int, 256> FAdvances{};
  std::array<bool, 256> FAdvanceKnown{};
};

// Every face made so far, by what it was made from.
std::map<TFaceKey, std::shared_ptr<TFace>>& Faces() {
  static std::map<TFaceKey, std::shared_ptr<TFace>> faces;
  return faces;
}

}  // namespace

std::string SubstituteFamily(const std::string& faceName) {
  const std::string key = Lower(faceName);
  for (const TSubstitute& s : kSubstitutes)
    if (key == s.windows) return s.installed;
  return faceName;
}

void ReleaseFaceFiles() {
  for (auto& [key, face] : Faces())
    face->ReleaseFile();
}

std::shared_ptr<TFace> FaceFor(const LOGFONTA& log) {
  // Two caches: what a request resolved to (fontconfig is slow to ask), and the faces, which
  // requests for different names may share.
  using TRequest = std::tuple<std::string, LONG, bool, bool, bool>;
  static std::map<TRequest, std::shared_ptr<TFace>> requests;
  auto& cache = Faces();
  const std::string name(log.lfFaceName, strnlen(log.lfFaceName, LF_FACESIZE));
  const bool bold = log.lfWeight >= kBoldThreshold;
  const bool italic = log.lfItalic != 0;
  // Smooth edges only when asked for; the classic look is drawn with hard edges.
  const bool smooth = log.lfQuality == ANTIALIASED_QUALITY || log.lfQuality == CLEARTYPE_QUALITY;
  const TRequest request{Lower(name), log.lfHeight, bold, italic, smooth};
  if (auto found = requests.find(request); found != requests.end()) return found->second;
  const TMatch match = Match({SubstituteFamily(name), bold, italic});
  const TFaceKey key{
      match.file, match.index, int(log.lfHeight), bold && !match.bold, italic && !match.italic,
      smooth};
  if (auto found = cache.find(key); found != cache.end()) {
    requests.emplace(request, found->second);
    return found->second;
  }
  FT_Face face = nullptr;
  std::shared_ptr<TFace> result;
  if (Library() && !match.file.empty() &&
      FT_New_Face(Library(), match.file.c_str(), match.index, &face) == 0) {
    result = std::make_shared<TFreeTypeFace>(face, key, log, match);
  } else {
    result =
        std::make_shared<TEmptyFace>(log.lfHeight < 0 ? int(-log.lfHeight) : kDefaultCellHeight);
  }
  cache.emplace(key, result);
  requests.emplace(request, result);
  return result;
}

void PrepareFontMatching(const std::string& storeFile) {
  if (Preparation().valid()) return;
  Store() = TMatchStore(storeFile);
  Store().SetEnvironment(TMatchStore::Environment(FcGetVersion()));
  if (Store().Load()) return;
  Preparation() = std::async(std::launch::async, [] { FcInit(); });
}

}  // namespace platform::fonts
