#!/usr/bin/env bash
# Builds the bench preset, runs oxbench with repetitions and prints each figure's median beside
# the median of its floor from the same run, and their ratio.
#   bash scripts/bench.sh [repetitions] [extra oxbench arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${1:-5}
shift || true
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
out=$(mktemp)
trap 'rm -f "$out"' EXIT
echo "load: $(uptime | sed 's/.*load average: //')" >&2
build/bench/bin/oxbench --benchmark_repetitions="$repetitions" \
  --benchmark_display_aggregates_only=true --benchmark_out="$out" \
  --benchmark_out_format=json "$@" >&2
python3 - "$out" <<'PY'
import json, re, statistics, sys

scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
times, failed = {}, {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("error_occurred"):
        failed[b["run_name"]] = b.get("error_message", "")
    elif b["run_type"] == "iteration":
        times.setdefault(b["run_name"], []).append(b["real_time"] * scale[b["time_unit"]])
median = {name: statistics.median(t) for name, t in times.items()}

floors = {
    "mutex": ("mutex lock/unlock + virtual call", "BM_FloorMutexVirtualCall"),
    "elf": ("open, ELF + section headers, close", "BM_FloorReadElfHeaders"),
    "dlopen": ("dlopen + dlclose osComp.dll", "BM_FloorDlopenOsComp"),
}
# (figure, benchmark name pattern, floor, what one floor stands for: divisor from the argument)
figures = [
    ("guarded get of Verify, {} thread(s), per get", r"BM_GuardedGetVerify/real_time/threads:(\d+)", "mutex", lambda n: 1),
    ("contended std::mutex + virtual call, {} threads", r"BM_ContendedMutexVirtualCall/real_time/threads:(\d+)", "mutex", lambda n: 1),
    ("host-style get of Verify", r"BM_HostGetVerify$", "mutex", lambda n: 1),
    ("module scan per file, {} files", r"BM_ModuleScanPerFile/(\d+)", "elf", lambda n: n),
    ("start-up + teardown, example directory", r"BM_StartUpAndTeardown$", "dlopen", lambda n: 1),
    ("get-next walk of {} rows, per row", r"BM_GetNextWalk/(\d+)", "mutex", lambda n: n),
    ("MIF install of {} attributes, per attribute", r"BM_InstallMif/(\d+)", "mutex", lambda n: n),
]

def show(t):
    for unit, f in (("ms", 1e6), ("us", 1e3)):
        if t >= f:
            return f"{t / f:9.2f} {unit}"
    return f"{t:9.2f} ns"

print(f"{'floor':<52} {'median':>12}")
for key, (text, name) in floors.items():
    print(f"{text:<52} {show(median[name]) if name in median else 'missing':>12}")
print()
print(f"{'figure':<52} {'median':>12} {'floor':>7} {'ratio':>8}")
for text, pattern, floor, per in figures:
    runs = [(name, re.fullmatch(pattern, name)) for name in median]
    for name, m in sorted(((n, m) for n, m in runs if m),
                          key=lambda r: int(r[1].group(1)) if r[1].groups() else 0):
        n = int(m.group(1)) if m.groups() else 1
        value = median[name] / per(n)
        base = median.get(floors[floor][1])
        ratio = f"{value / base:8.2f}" if base else "     n/a"
        print(f"{text.format(n):<52} {show(value):>12} {floor:>7} {ratio}")
for name, message in failed.items():
    print(f"FAILED {name}: {message}")
sys.exit(1 if failed else 0)
PY
