// The job ticket: a block of "key=value" lines that tells the printer's front
// end how to handle the job, written ahead of the PJL switch when the model
// takes it and the Option output is chosen.
#pragma once

namespace tavix {

// Writes the whole block through writeText: 0 when every line was written,
// -1 at the first failed write (nothing more is written).
int writeJobTicket();

// The pen width in hundredths of a millimetre, rounded half up, as the
// ticket's "Width=" line carries it.
int penWidthHundredths(float millimetres);

}  // namespace tavix
