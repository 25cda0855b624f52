# Turns perf_probe's key=value lines into the table of bench/perf.sh, as
# Markdown so that it can go into the README unchanged.
# Variables: seconds, launches, load_before, load_after, startup_file, bench_file.

BEGIN { FS = "=" }
/^shot=/ { next }
{ v[$1] = $2 }

function row(metric, target, measured, ok) {
    printf "| %s | %s | %s | %s |\n", metric, target, measured, ok
}
function verdict(ok) { if (!ok) failed++; return ok ? "pass" : "FAIL" }
function sort(a, n,    i, j, x) {
    for (i = 2; i <= n; i++) { x = a[i]; for (j = i - 1; j >= 1 && a[j] > x; j--) a[j + 1] = a[j]; a[j + 1] = x }
}
function median_of(a, n) { return n ? (n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2) : -1 }

END {
    # Design view: 228.375 units over 609 pixels; the green wave (k = 2) moves
    # k^2 = 4 units per unit of t; the default Δt/s is 1.
    units_per_px = 228.375 / 609
    green_speed = 4
    dt_per_s = 1

    # One line per launch: wall-clock ms to the first frame, CPU ms until then.
    n = 0
    while ((getline line < startup_file) > 0) {
        if (split(line, f, " ") < 2) continue
        ms[++n] = f[1] + 0
        cpu_ms[n] = f[2] + 0
    }
    sort(ms, n)
    sort(cpu_ms, n)
    median = median_of(ms, n)

    cpu = v["cpu_percent"] + 0
    fps = v["fps"] + 0
    updates = v["updates"] + 0
    per_update = updates ? v["damage_events"] / updates : 0
    one_rect_each = updates > 0 && v["damage_events"] == updates && v["damage_other_rects"] == 0
    rate = v["crest_px_per_s"] * units_per_px / green_speed / dt_per_s
    rss0 = v["rss_start_kb"] / 1024
    rss1 = v["rss_end_kb"] / 1024
    growth = v["rss_end_kb"] - v["rss_start_kb"]
    late_growth = v["rss_end_kb"] - v["rss_mid_kb"]

    print "| metric | target | measured | result |"
    print "|---|---|---|---|"
    row("CPU of the process over " seconds " s (utime+stime)", "≤ 5 % of one core",
        sprintf("%.2f %% (%d ticks)", cpu, v["cpu_ticks"]), verdict(cpu <= 5))
    row("frames on screen per second (XDamage)", "25 ± 1 %",
        sprintf("%.3f (%d in %.1f s; %d gaps over 45 ms, longest %.0f ms)", fps, updates, v["window_s"],
            v["intervals_over_45ms"], v["max_interval_ms"]),
        verdict(fps >= 24.75 && fps <= 25.25))
    row("damage notifications per update", "1, the plot area", sprintf("%.2f (%d events, %d elsewhere)", per_update,
        v["damage_events"], v["damage_other_rects"]), verdict(one_rect_each))
    row("t per wall-clock second ÷ Δt/s (green crest)", "1 ± 1 %",
        sprintf("%.4f (%.3f px/s, fit rms %.2f px)", rate, v["crest_px_per_s"], v["crest_fit_rms_px"]),
        verdict(rate >= 0.99 && rate <= 1.01))
    row("start to first frame on screen", "≤ 300 ms",
        sprintf("median %.0f ms, worst %.0f ms (%d launches)", median, ms[n], n), verdict(n > 0 && median <= 300))
    row("VmRSS 1 s after the first frame", "≤ 80 MB", sprintf("%.1f MB", rss0), verdict(rss0 > 0 && rss0 <= 80))
    # A few pages either way are the allocator's business, not growth.
    row("VmRSS " seconds " s later", "≤ 80 MB, no growth",
        sprintf("%.1f MB (%+d kB; %+d kB of it in the second half)", rss1, growth, late_growth),
        verdict(rss1 > 0 && rss1 <= 80 && growth <= 64))

    while ((getline line < bench_file) > 0) {
        split(line, f, ",")
        name = f[1]; gsub(/"/, "", name); sub(/_median$/, "", name)
        row("frame_bench " name ", median of 5", "info",
            sprintf("%.0f %s wall, %.0f %s CPU", f[3], f[5], f[4], f[5]), "—")
    }
    row("CPU time until the first frame (all threads)", "info", sprintf("median %.0f ms", median_of(cpu_ms, n)), "—")
    row("time runnable but waiting for a CPU, over the window", "info",
        sprintf("program %.0f ms, X server %.0f ms", v["window_wait_s"] * 1000, v["server_wait_s"] * 1000), "—")
    row("machine: 40 ms sleeps woken > 5 ms late, over the window", "info",
        sprintf("%d of %d (latest %.0f ms)", v["sleeps_late_over_5ms"], v["sleeps"], v["sleep_late_max_ms"]), "—")
    row("X server CPU over the window", "info", sprintf("%.2f %% of one core", v["server_cpu_percent"]), "—")
    row("load average (before, after)", "info", load_before ", " load_after, "—")

    if (failed) {
        printf "\n%d target(s) missed\n", failed
        exit 1
    }
}
