// The RTF reader: a state machine over groups and destinations that builds
// the document model.
#pragma once

#include <QString>
#include <string_view>

#include "tollmark/io/rtf_model.h"

namespace tollmark::io {

// Best effort on damaged input; false (with a message) only when the data
// does not start like RTF.
bool ParseRtf(std::string_view data, RtfDocument& out, QString* error);

}  // namespace tollmark::io
