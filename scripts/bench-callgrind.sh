#!/bin/sh
# Instructions (and simulated mispredicted branches) per move or draw request
# for the driver and its two limits, counted by callgrind: load-independent,
# so they can be compared on a busy machine where times cannot.
#
# Each engine runs each workload twice under callgrind, once for PASSES and
# once for 2 x PASSES passes over the workload, collecting only inside the
# engine's entries (--toggle-collect: PlotEntry for the driver, whose end plot
# sends what is staged; the tight encoder's request or stream function and
# its finish for the limits). The difference of the two runs, divided by the
# requests of PASSES passes, is the cost of one request, the 128-byte pieces
# of its bytes included: whatever a run spends once (begin plot, the
# trailer, first calls) cancels out.
#
# usage: scripts/bench-callgrind.sh [plotBench binary] (PASSES=2 by default)
set -euf  # -f: the toggle patterns stay as written

BENCH=${1:-build/native/bench/plotBench}
PASSES=${PASSES:-2}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

togglesOf() {
    case $1 in
    driver) echo '--toggle-collect=PlotEntry' ;;
    tight) echo '--toggle-collect=tight::TightEncoder::request* --toggle-collect=tight::TightEncoder::finish*' ;;
    stream) echo '--toggle-collect=void?tight::TightEncoder::streamIn* --toggle-collect=tight::TightEncoder::finish*' ;;
    esac
}

# Prints "Ir Bcm+Bim requests" of one run.
countRun() {  # engine workload mode passes
    out="$WORK/cg.$1.$2.$3.$4"
    requests=$(valgrind -q --tool=callgrind --branch-sim=yes --callgrind-out-file="$out" \
        $(togglesOf "$1") "$BENCH" --count "$1" "$2" "$3" "$4" | sed -n 's/ requests a pass$//p')
    awk -v requests="$requests" '/^summary:/ { print $2, $4 + $6, requests }' "$out"
}

# Instructions and mispredicts per request, from the runs of PASSES and 2 x PASSES.
perRequest() {  # engine workload mode
    set -- "$1" "$2" "$3" "$(countRun "$1" "$2" "$3" "$PASSES")" "$(countRun "$1" "$2" "$3" $((PASSES * 2)))"
    echo "$4 $5" | awk -v p="$PASSES" '{ n = $3 * p; printf "%.1f %.2f", ($4 - $1) / n, ($5 - $2) / n }'
}

printf '%-14s %9s %9s %9s %12s %12s   %s\n' "Ir/request" driver tight stream driver/tight driver/strm \
    "mispredicts/request (driver tight stream)"
for workload in polyline walk511 walk15 lines; do
    for mode in pe7 pe8; do
        d=$(perRequest driver $workload $mode)
        t=$(perRequest tight $workload $mode)
        s=$(perRequest stream $workload $mode)
        echo "$workload/$mode $d $t $s" | awk '{
            printf "%-14s %9.1f %9.1f %9.1f %12.3f %12.3f   %.2f %.2f %.2f\n",
                $1, $2, $4, $6, $2 / $4, $2 / $6, $3, $5, $7 }'
    done
done
