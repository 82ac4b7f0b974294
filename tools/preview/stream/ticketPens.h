// The pen section of a job ticket ("[HPGL Setting]" with "Width=" in
// hundredths of a millimetre and "Gray=" in percent, one value per pen 1 to
// 255). The printer draws a pen with the ticket's width when the stream has
// given that pen no width of its own (PW), and lightens the pen's colour
// towards white by its gray: 100 is the colour itself, 0 is white.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "streamModel.h"

namespace tavix::preview {

struct TicketPens {
    std::array<double, 256> widthMm;  // by pen number; negative: not given
    std::array<int, 256> gray;        // by pen number, 0..100; 100 when not given
    TicketPens() {
        widthMm.fill(-1);
        gray.fill(100);
    }
    // The colour of a pen as printed with its gray.
    Rgb shade(int pen, Rgb colour) const;
};

// Reads the pen section from the ticket's lines; a missing section, or a
// value that is not a number in range, leaves those pens as not given.
TicketPens readTicketPens(const std::vector<std::string>& ticketLines);

}  // namespace tavix::preview
