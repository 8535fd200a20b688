#!/bin/bash
# The table of bench/README.md's "Process start": the wall time of a whole process, median
# of many runs, for a plain start (/bin/true), corvane-cli --version, corvane-cli analisar
# of the RC example in memory (tmpfs) and on the disk, and ngspice -b of the same RC as a
# yardstick. Each program is started from one Python process with posix_spawn, so every
# row carries the same cost of starting a process; /bin/true shows that cost.
#   bench/start_table.sh [build folder, default build]   (CORVANE_RUNS: runs per row, 300)
set -u
build=${1:-build}
cli=$(realpath "$build/cli/corvane-cli")
runs=${CORVANE_RUNS:-300}
here=$(dirname "$(realpath "$0")")
memory=$(mktemp -d /dev/shm/corvane-start.XXXXXX)
disk=$(mktemp -d "$here/../.start-table.XXXXXX")
trap 'rm -rf "$memory" "$disk"' EXIT
for dir in "$memory" "$disk"; do
    cp "$here/../examples/rc.net" "$dir/rc.net"
    # The same circuit for ngspice: the step as a pulse, the transient over 5 time constants.
    cat > "$dir/rc.cir" <<'CIR'
Filtro RC passa-baixas
V1 entrada 0 PULSE(0 1 0 1n 1n 1 2)
R1 entrada saida 1000
C1 saida 0 1e-6
.tran 50u 5m
.print tran v(saida)
.end
CIR
done
echo "load before: $(uptime)"
python3 - "$runs" "$cli" "$memory" "$disk" <<'PY'
import os, statistics, sys, time
runs, cli, memory, disk = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
rows = [
    ("/bin/true", ["/bin/true"], None),
    ("corvane-cli --version", [cli, "--version"], None),
    ("corvane-cli analisar rc.net (tmpfs)", [cli, "analisar", "rc.net"], memory),
    ("corvane-cli analisar rc.net (ext4)", [cli, "analisar", "rc.net"], disk),
    ("ngspice -b rc.cir (tmpfs)", ["ngspice", "-b", "rc.cir"], memory),
]
null = os.open(os.devnull, os.O_WRONLY)
def once(argv, cwd):
    previous = os.getcwd()
    if cwd: os.chdir(cwd)
    try:
        start = time.perf_counter()
        pid = os.posix_spawnp(argv[0], argv, os.environ,
                              file_actions=[(os.POSIX_SPAWN_DUP2, null, 1), (os.POSIX_SPAWN_DUP2, null, 2)])
        _, status, usage = os.wait4(pid, 0)
        elapsed = time.perf_counter() - start
    finally:
        os.chdir(previous)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(argv)} failed")
    return elapsed, usage.ru_utime + usage.ru_stime
medians = {}
print("| process | median ms | p10 … p90 ms | CPU ms (user + system) | ÷ /bin/true | ÷ ngspice |")
print("|---|---:|---:|---:|---:|---:|")
results = []
for name, argv, cwd in rows:
    for _ in range(10): once(argv, cwd)
    measured = [once(argv, cwd) for _ in range(runs)]
    times = sorted(wall for wall, _ in measured)
    cpu = statistics.median(used for _, used in measured)
    results.append((name, statistics.median(times), times[len(times) // 10],
                    times[len(times) * 9 // 10], cpu))
base, spice = results[0][1], results[-1][1]
for name, median, low, high, cpu in results:
    print(f"| {name} | {median*1e3:.2f} | {low*1e3:.2f} … {high*1e3:.2f} | {cpu*1e3:.2f} | "
          f"{median/base:.1f} | {median/spice:.2f} |")
PY
echo "load after: $(uptime)"
