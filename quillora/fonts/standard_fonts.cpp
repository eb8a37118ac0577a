#include "quillora/fonts/standard_fonts.h"

namespace quillora {

const char* const StandardFontNames[StandardFontCount] = {
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
    "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
    "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
    "Symbol",      "ZapfDingbats"};

const int32_t StandardFontAscents[StandardFontCount] = {728, 728, 728, 728, 613, 633,  613,
                                                        633, 693, 677, 694, 677, 1000, 1000};

}  // namespace quillora
