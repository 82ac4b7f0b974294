// Which reader a drawing file needs, told by its content rather than its name.
#pragma once

#include <string>
#include <string_view>

namespace tavix::dxf {

enum class DrawingKind { RequestScript, AsciiDxf, BinaryDxf, Dwg };

// `head` is the start of the file (a few kilobytes are enough).
DrawingKind sniffDrawing(std::string_view head);

// What to do with a drawing tavix cannot read; empty for the readable kinds.
std::string unreadableDrawingAdvice(DrawingKind kind);

}  // namespace tavix::dxf
