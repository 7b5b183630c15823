#!/bin/sh
# Prints the table of bench/frame-pacing.sh from its raw rows
# ("variant screen fps median-ms p99-ms draws(median/max) rss-MB"): per variant
# and screen the median over the rounds, and the ratio of the frame rate to the
# empty window with the game's context settings ("empty-same-context") and to
# the empty window that multisamples as the settings ask ("empty-aa-requested").
awk '
    function median(list,    n, a, i, j, x) {
        n = split(list, a, " ")
        for (i = 2; i <= n; i++) { x = a[i] + 0; j = i - 1; while (j >= 1 && a[j] + 0 > x) { a[j + 1] = a[j]; j-- } a[j + 1] = x }
        return a[int((n + 1) / 2)]
    }
    $2 ~ /-peak-rss$/ { peak[$1 " " $2] = peak[$1 " " $2] " " $3; next }
    {
        key = $1 " " $2
        if (!(key in fps)) order[count++] = key
        fps[key] = fps[key] " " $3; med[key] = med[key] " " $4; p99[key] = p99[key] " " $5
        split($6, d, "/"); draws[key] = draws[key] " " d[1]; drawsMax[key] = drawsMax[key] " " d[2]
        rss[key] = rss[key] " " $7
    }
    END {
        same = median(fps["empty empty-same-context"]); asked = median(fps["empty empty-aa-requested"])
        printf "%-9s %-19s %8s %9s %8s %11s %7s %8s %8s\n", "variant", "screen", "fps", "median", "p99", "draws", "RSS MB", "x empty", "x empty4"
        for (i = 0; i < count; i++) {
            key = order[i]; split(key, k, " ")
            f = median(fps[key])
            printf "%-9s %-19s %8.1f %7.2fms %6.2fms %5d/%-5d %7d %8.2f %8.2f\n", k[1], k[2], f, median(med[key]), median(p99[key]),
                median(draws[key]), median(drawsMax[key]), median(rss[key]), (same > 0 ? f / same : 0), (asked > 0 ? f / asked : 0)
        }
        print ""
        print "peak RSS per run (MB), median over the rounds:"
        for (key in peak) printf "  %-32s %6d\n", key, median(peak[key])
    }' "$1"
