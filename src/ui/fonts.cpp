#include "ui/fonts.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "ui/layout_units.h"

namespace qm {
namespace {

// Where the panel's faces do not serve, in this order: Wine's own dialog face, the common sans-serif faces,
// narrower ones that fit where those do not, and last MS Sans Serif itself: where it is a bitmap font the
// system draws it above 96 DPI at the nearest size it stores, in which the captions may fit where no outline
// face does.
constexpr std::wstring_view kFallbackFaces[] = {
    L"Tahoma",    L"Microsoft Sans Serif",  L"Arial",        L"Liberation Sans",
    L"Noto Sans", L"DejaVu Sans Condensed", L"Arial Narrow", L"Liberation Sans Narrow",
    kPanelFace,
};
// Font sizes in hundredths of a point.
constexpr int kStandardFontCentipoints = 825;
constexpr int kLargeFontCentipoints = 975;

// Whether the system draws `face` as itself (or as a face it was told to take for it), rather than putting
// another one in its place.
bool SystemHasFace(HDC dc, std::wstring_view face) {
  const UniqueFont font = MakeFont(FontKind::Standard, USER_DEFAULT_SCREEN_DPI, face);
  const ScopedSelection selected(dc, font.get());
  wchar_t drawn[LF_FACESIZE] = {};
  ::GetTextFaceW(dc, LF_FACESIZE, drawn);
  const std::wstring name(face);
  return ::CompareStringOrdinal(drawn, -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Whether the system draws `face` at `dpi` from outlines; a bitmap font is drawn only at the sizes it
// stores.
bool IsScalable(HDC dc, std::wstring_view face, UINT dpi) {
  const UniqueFont font = MakeFont(FontKind::Standard, dpi, face);
  const ScopedSelection selected(dc, font.get());
  TEXTMETRICW metrics{};
  return ::GetTextMetricsW(dc, &metrics) != FALSE &&
         (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0;
}

// By how many pixels `captions` overflow the room their controls give them at `dpi`, in `fonts`; 0 when
// every one fits. The room is what the standard controls leave their text: a label all of its width and
// height, wrapped like an edit control; a push button its width less 3 pixels a side and its height less 2 a
// side, wrapped; an option button one line beside its check mark (12 pixels at 96 DPI, plus one) and half a
// digit's width of gap; a frame one line in its width less 8 pixels a side.
int CaptionOverflow(HDC dc, const FontSet& fonts, UINT dpi, std::span<const CaptionRoom> captions) {
  int overflow = 0;
  for (const CaptionRoom& caption : captions) {
    int width = TwipsToPixels(caption.place.width, dpi);
    int height = TwipsToPixels(caption.place.height, dpi);
    UINT format = DT_CALCRECT | DT_NOPREFIX;
    const ScopedSelection selected(dc, fonts[caption.font]);
    switch (caption.kind) {
      case ControlKind::Label:
        format |= DT_WORDBREAK | DT_EDITCONTROL;
        break;
      case ControlKind::CommandButton:
        format |= DT_WORDBREAK;
        width -= 6;
        height -= 4;
        break;
      case ControlKind::OptionButton: {
        INT digit = 0;
        ::GetCharWidth32W(dc, L'0', L'0', &digit);
        format |= DT_SINGLELINE;
        width -= ::MulDiv(12, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI) + 1 + digit / 2 + 2;
        height = std::numeric_limits<int>::max();
        break;
      }
      default:
        format |= DT_SINGLELINE;
        width -= 16;
        height = std::numeric_limits<int>::max();
        break;
    }
    RECT needed{0, 0, width, 0};
    const std::wstring text(caption.text);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, format);
    overflow += std::max<LONG>(0, needed.right - width) + std::max<LONG>(0, needed.bottom - height);
  }
  return overflow;
}

SystemFaces FacesOfSystem(HDC dc, UINT dpi) {
  SystemFaces faces;
  faces.ms_sans_serif = SystemHasFace(dc, kPanelFace);
  faces.ms_sans_serif_scalable = faces.ms_sans_serif && IsScalable(dc, kPanelFace, dpi);
  faces.microsoft_sans_serif = SystemHasFace(dc, kScalablePanelFace);
  return faces;
}

// The first face of kFallbackFaces that the system has and in which every caption fits, measured in the
// fonts it will be drawn in; when none fits, the one that cuts least; "MS Sans Serif" when it has none.
std::wstring FallbackFace(HDC dc, UINT dpi, std::span<const CaptionRoom> captions) {
  std::wstring_view least = kPanelFace;
  int least_overflow = std::numeric_limits<int>::max();
  for (std::wstring_view face : kFallbackFaces) {
    if (!SystemHasFace(dc, face))
      continue;
    const int overflow = CaptionOverflow(dc, FontSet(dpi, face), dpi, captions);
    if (overflow == 0)
      return std::wstring(face);
    if (overflow < least_overflow) {
      least = face;
      least_overflow = overflow;
    }
  }
  return std::wstring(least);
}

}  // namespace

std::wstring PanelFontFace(UINT dpi, std::span<const CaptionRoom> captions) {
  // One memory device context to ask the faces and measure the fallbacks in.
  const UniqueDc dc(::CreateCompatibleDC(nullptr));
  if (!dc)
    return std::wstring(kPanelFace);
  if (const std::optional<std::wstring_view> face = PreferredPanelFace(dpi, FacesOfSystem(dc.get(), dpi)))
    return std::wstring(*face);
  return FallbackFace(dc.get(), dpi, captions);
}

UniqueFont MakeFont(FontKind kind, UINT dpi, std::wstring_view face) {
  LOGFONTW font{};
  const int centipoints = kind == FontKind::LargeBold ? kLargeFontCentipoints : kStandardFontCentipoints;
  font.lfHeight = -::MulDiv(centipoints, static_cast<int>(dpi), 72 * 100);
  font.lfWeight = kind == FontKind::Standard ? FW_NORMAL : FW_BOLD;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return UniqueFont(::CreateFontIndirectW(&font));
}

FontSet::FontSet(UINT dpi, std::wstring_view face)
    : fonts_{MakeFont(FontKind::Standard, dpi, face), MakeFont(FontKind::Bold, dpi, face),
             MakeFont(FontKind::LargeBold, dpi, face)} {}

FontSet::FontSet(UINT dpi, std::span<const CaptionRoom> captions)
    : FontSet(dpi, PanelFontFace(dpi, captions)) {}

}  // namespace qm
