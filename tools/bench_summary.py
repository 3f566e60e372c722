#!/usr/bin/env python3
"""Prints one line per benchmark target from Google Benchmark's JSON output."""
import json
import sys


def key(name):
    """A benchmark's name and arguments, without the settings of its run."""
    return "/".join(part for part in name.split("/")
                    if not part.startswith(("iterations:", "real_time")))


def main(path):
    with open(path) as f:
        runs = {key(b["name"]): b for b in json.load(f)["benchmarks"]
                if b.get("run_type", "iteration") == "iteration"}
    lines = []

    def target(name, figure, goal, ok):
        lines.append("%-36s %-28s goal %-12s %s" % (name, figure, goal, "met" if ok else "MISSED"))

    raw, read = runs.get("BM_RawLineScan"), runs.get("BM_ReadMovieFile")
    if raw and read:
        ratio = read["bytes_per_second"] / raw["bytes_per_second"]
        target("ReadMovieFile throughput vs floor", "%.2f" % ratio, ">= 0.50", ratio >= 0.5)
    if read:
        peak = read["peak_ratio"]
        target("ReadMovieFile peak heap / file size", "%.2f" % peak, "<= 2.50", peak <= 2.5)
    def us(run):
        return run["cpu_time"] * {"ns": 1e-3, "us": 1, "ms": 1e3}[run["time_unit"]]
    floor, pipeline = runs.get("BM_FrameFloor"), runs.get("BM_FramePipeline")
    if floor and pipeline:
        ratio = us(pipeline) / us(floor)
        target("frame pipeline vs its bare writes", "%.2f (%.1f us per frame)" % (ratio, us(pipeline)),
               "<= 2.00", ratio <= 2.0)
    virtual = runs.get("BM_FramePipelineVirtual")
    if virtual:
        lines.append("%-36s %.1f us CPU per frame (for scale)" % ("frame pipeline, display model", us(virtual)))
    delay = runs.get("BM_DelayPacing")
    if delay:
        ms = delay["real_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1}[delay["time_unit"]]
        ratio = ms / 110.0
        target("Delay(100) pacing vs 110 ms", "%.2f ms (%.4f)" % (ms, ratio), "within 1%",
               0.99 <= ratio <= 1.01)
    for name, figure, goal in [("BM_PlayLineFeedsMemory", "playing line feeds, peak heap / file", 5.0),
                               ("BM_CheckHeadersMemory", "--check of @ lines, peak heap / file", 3.0)]:
        run = runs.get(name)
        if run:
            target(figure, "%.2f" % run["peak_ratio"], "<= %.2f" % goal, run["peak_ratio"] <= goal)
    few, many = runs.get("BM_GifExportMemory/40"), runs.get("BM_GifExportMemory/4000")
    if few and many:
        ratio = many["grown_rss_kb"] / max(few["grown_rss_kb"], 1)
        target("GIF export, 4000 frames vs 40", "%.2f (resident +%d vs +%d kB)" % (
            ratio, many["grown_rss_kb"], few["grown_rss_kb"]), "<= 2.00", ratio <= 2.0)
    few, many = runs.get("BM_PlayGifMemory/10"), runs.get("BM_PlayGifMemory/10000")
    if few and many:
        ratio = many["peak_heap_kb"] / few["peak_heap_kb"]
        target("playing a GIF, 10000 frames vs 10", "%.2f (%d vs %d kB heap)" % (
            ratio, many["peak_heap_kb"], few["peak_heap_kb"]), "<= 2.00", ratio <= 2.0)
    for name in ["BM_EditToggleCell", "BM_EditDuration"]:
        few, many = runs.get(name + "/100"), runs.get(name + "/10000")
        if few and many:
            ratio = us(many) / us(few)
            target("%s, 10000 frames vs 100" % name[3:], "%.2f (%.2f vs %.2f ms)" % (
                ratio, us(many) / 1e3, us(few) / 1e3), "<= 2, 16 ms", ratio <= 2 and us(many) <= 16e3)
    opened = runs.get("BM_EditorOpen/36000")
    if opened:
        target("editor opens 36000 frames", "%.2f s, heap %.2f x file" % (
            opened["seconds"], opened["peak_ratio"]), "2 s, 10 x", opened["seconds"] <= 2 and opened["peak_ratio"] <= 10)
    for name, figure in [("BM_PacingUnderLoad/0", "pacing, quiet"), ("BM_PacingUnderLoad/4", "pacing, 2 busy threads a core")]:
        run = runs.get(name)
        if run:
            target(figure, "median %.3f, p95 %.3f" % (run["median_ratio"], run["p95_ratio"]),
                   "1.02 / 1.06", run["median_ratio"] <= 1.02 and run["p95_ratio"] <= 1.06)
    for load in ("0", "4"):
        run = runs.get("BM_AlertLatency/" + load)
        if run:
            name = "alert latency, " + ("quiet" if load == "0" else "4 busy threads")
            target(name + ", p50", "%.1f ms" % run["p50_ms"], "<= 5 ms", run["p50_ms"] <= 5)
            target(name + ", p99", "%.1f ms" % run["p99_ms"], "<= 15 ms", run["p99_ms"] <= 15)
    flood = runs.get("BM_MessageFlood/60")
    if flood:
        target("200 messages/s for 60 s, accounted", "%d of %d (%d shown)" % (
            flood["accounted"], flood["posted"], flood["shown"]), "all", flood["accounted"] == flood["posted"])
        target("200 messages/s, resident growth", "%+d kB after 10 s" % flood["grown_kb"], "<= 1024 kB",
               flood["grown_kb"] <= 1024)
    pace = runs.get("BM_PaceUnderRequests")
    if pace:
        target("movie frame, 100 state requests/s", "%.3f x nominal" % pace["median_ratio"], "<= 1.02",
               pace["median_ratio"] <= 1.02)
    clock = runs.get("BM_IdleClock")
    if clock:
        target("idle clock, CPU", "%.2f %% of a core" % clock["core_percent"], "<= 1 %", clock["core_percent"] <= 1)
        target("idle clock, writes a second", "%.2f %% of a full refresh" % clock["refresh_percent_per_s"],
               "< 5 %", clock["refresh_percent_per_s"] < 5)
    print("Summary")
    print("\n".join(lines) if lines else "(no targets among the benchmarks run)")


if __name__ == "__main__":
    main(sys.argv[1])
