#include "ui/panel_face.h"

namespace qm {
namespace {

constexpr unsigned kDesignDpi = 96;

}  // namespace

std::optional<std::wstring_view> PreferredPanelFace(unsigned dpi, const SystemFaces& faces) {
  if (faces.ms_sans_serif && (dpi <= kDesignDpi || faces.ms_sans_serif_scalable))
    return kPanelFace;
  // Stretched bitmaps blur and their captions may not fit.
  if (faces.ms_sans_serif && faces.microsoft_sans_serif)
    return kScalablePanelFace;
  return std::nullopt;
}

}  // namespace qm
