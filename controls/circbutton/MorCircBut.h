// TMorCircButton: the windowless elliptic push button with a lit face, bevel rings, a border
// and a caption, whose released and pressed faces are computed once and stored with the form.
// Program layer (controls/circbutton), on the toolkit's graphic controls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/circbutton/MorCircFace.h"
#include "platform/win32.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

// --- The button ---
// A windowless push button whose visible shape is the ellipse inscribed in its bounds; outside
// it the parent shows through. Its released face, pressed face and shape mask are computed
// whenever a property that affects the picture or the size changes (never while it is being
// read from a form description), and they travel with the form description, so a loaded form
// shows exactly the stored images. Buttons with the same owner and a non-zero GroupIndex
// behave as a radio group.
//
// Where the behaviour is open, this button:
// - without an owner has no other group members: a release or an AllowAllUp write with a
//   non-zero GroupIndex acts on this button alone;
// - when its bevels leave no face (width or height at most twice the bevel allowance) counts
//   the whole ellipse as its face, so it can still be clicked; with a width or height of 0
//   nothing is on the face;
// - with a glyph and NumGlyphs below 1 shows the whole strip as one cell, and a cell beyond
//   the end of the strip (an index accepted while loading) shows no glyph pixels;
// - stores a Down change at once but paints it only when it has a parent and is visible.
class TMorCircButton : public TGraphicControl {
 public:
  explicit TMorCircButton(TComponent* owner);
  ~TMorCircButton() override;

  // --- Properties ---
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value);
  double AttenControl() const { return FAttenControl; }
  void SetAttenControl(double value);
  TMorCircBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TMorCircBevel value);
  TMorCircBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TMorCircBevel value);
  // At least 1; a smaller value is ignored.
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int value);
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value);
  bool Down() const { return FDown; }
  // Shows the matching face at once; other members of the group are left as they are.
  void SetDown(bool value);
  // Only the low three bytes count: a system colour is not translated.
  TColor FaceColor() const { return FFaceColor; }
  void SetFaceColor(TColor value);
  int FaceRed() const { return FFaceRed; }
  int FaceGreen() const { return FFaceGreen; }
  int FaceBlue() const { return FFaceBlue; }
  bool FaceShaded() const { return FFaceShaded; }
  void SetFaceShaded(bool value);
  bool FaceTransparent() const { return FFaceTransparent; }
  void SetFaceTransparent(bool value);
  // The caption's own font. Changing the font object in place does not rebuild the faces;
  // assigning a font does, always.
  TFont& Font() { return *FFont; }
  void SetFont(const TFont& font);
  // The glyph strip: NumGlyphs cells side by side; its bottom-left pixel is the key colour.
  // Assigning null keeps the old pixels but stops drawing them.
  const TBitmap& Glyph() const { return *FGlyph; }
  void SetGlyph(const TBitmap* glyph);
  bool GlyphValid() const { return FGlyphValid; }
  // 1 to NumGlyphs; while loading any value of 1 or more, since it is read before NumGlyphs.
  int GlyphIndex() const { return FGlyphIndex; }
  void SetGlyphIndex(int value);
  bool GlyphShaded() const { return FGlyphShaded; }
  void SetGlyphShaded(bool value);
  bool GlyphMapped() const { return FGlyphMapped; }
  void SetGlyphMapped(bool value);
  bool GlyphTransparent() const { return FGlyphTransparent; }
  void SetGlyphTransparent(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value) { FGroupIndex = value; }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int value);

  // The stored faces and mask, and how often they have been computed.
  const TBitmap& ImageOut() const { return *FImageOut; }
  const TBitmap& ImageIn() const { return *FImageIn; }
  const TBitmap& ImageMask() const { return *FImageMask; }
  int RebuildCount() const { return FRebuildCount; }

  // Whether (x, y), relative to the button, lies on the face inside the bevel rings.
  bool PointInFace(int x, int y) const;

  void SetBounds(int left, int top, int width, int height) override;

  // --- Events ---
  // Fired only by the button's own pointer handling; Sender is the button.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DefineProperties(TFiler& filer) override;

 private:
  // Stores a picture-affecting value, then recomputes the faces and asks for a repaint.
  template <class T>
  void Change(T& field, const T& value);
  void Rebuild();
  void RebuildImages();
  TMorFaceSettings Settings(TMorRaster& glyph) const;
  // The buttons of this button's owner with the same GroupIndex, this one included.
  std::vector<TMorCircButton*> GroupMembers() const;
  static std::vector<uint8_t> ImageBytes(const TBitmap& image);
  static void LoadImage(TBitmap& image, const std::vector<uint8_t>& bytes);

  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TBitmap> FImageOut;
  std::unique_ptr<TBitmap> FImageIn;
  std::unique_ptr<TBitmap> FImageMask;
  std::unique_ptr<TBitmap> FGlyph;
  bool FAllowAllUp = false;
  double FAttenControl = 1.0;
  TMorCircBevel FBevelInner = hbNone;
  TMorCircBevel FBevelOuter = hbLowered;
  int FBevelWidth = 2;
  TColor FBorderColor = clGray;
  TBorderStyle FBorderStyle = bsNone;
  std::string FCaption;
  bool FDown = false;
  TColor FFaceColor = clGray;
  int FFaceRed = 128, FFaceGreen = 128, FFaceBlue = 128;
  bool FFaceShaded = true;
  bool FFaceTransparent = false;
  bool FGlyphValid = false;
  int FGlyphIndex = 1;
  bool FGlyphShaded = true;
  bool FGlyphMapped = false;
  bool FGlyphTransparent = true;
  int FGroupIndex = 0;
  int FNumGlyphs = 1;
  int FLastWidth = -1;
  int FLastHeight = -1;
  bool FTracking = false;
  bool FWasDown = false;
  int FRebuildCount = 0;
};
