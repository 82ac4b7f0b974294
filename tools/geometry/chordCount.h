#pragma once
// How many chords a circular arc needs so that no chord strays further than
// the tolerance from the arc (the sagitta r * (1 - cos(step / 2)) <= tolerance).

namespace tavix::geometry {

// A quarter turn per chord at most, so a tiny circle is still a closed figure
// (four chords) rather than a line.
constexpr int MIN_CHORDS_PER_TURN = 4;
// More chords than this per curve can not be told apart on any paper the
// printers take; the cap keeps absurd radii and tolerances from eating memory.
constexpr int MAX_CHORDS_PER_CURVE = 16384;

// Chords for a sweep of `sweepRadians` (sign ignored) on a circle of `radius`,
// between 1 and MAX_CHORDS_PER_CURVE; 0 when an argument is not finite,
// the radius is negative or the tolerance is not positive.
int chordCount(double radius, double sweepRadians, double tolerance);

}  // namespace tavix::geometry
