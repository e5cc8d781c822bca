#!/usr/bin/env python3
"""What the receive journal costs, and how fast a killed receive comes back.

lumaq-cli receive runs against lumaq-cli instrument --pty send-job (the
instrument answering at once), with its journal and with --no-journal, in
alternating rounds of the same run. Then a receive of a full job (15999
records) is killed with SIGKILL after the instrument read its last 0x00, and
lumaq-cli recover rebuilds the job from the journal.

Prints one row per measurement: "operation | with journal | without | ratio".
Each round receives with and without the journal, one right after the other;
the figures are medians over the rounds, the ratio the median of the rounds'
own ratios (with / without), which a change in the machine's load between
rounds does not sway.

A pseudo-terminal is faster than any serial line, and the program purges its
input right after 0xBB: now and then the instrument's body comes before the
purge, is lost and is sent again after the instrument's time-out. Such resends
dominate the wall-clock figure and vary with the load of the machine, so the
frame cycle is also measured without them: from one frame accepted to the
next accepted at its first attempt, timed by the instrument's --verbose lines.

usage: bench/journal_bench.py [BUILD_DIR] [--records N] [--rounds R]
                              [--recover-records N] [--rows [--append-seconds S]]

With --rows it prints the rows of bench/run.sh instead (bench/rows/transfer.sh):
"operation<TAB>seconds<TAB>floor<TAB>its seconds", the journal's figures against
the same receive without it; --append-seconds gives the time one frame takes
to be appended (lumaq_bench), shown against the frame cycle without journal.
"""

import argparse
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

TIMEOUT_MS = "300"  # the instrument's wait for an answer before it sends again


def write_job(path, count):
    with open(path, "wb") as job:
        for i in range(1, count + 1):
            line = "%-9s%-9s%-12s%-12s%-12s" % ("P%d" % i, "TOPO", "%d.125" % i,
                                                "-%d.500" % i, "0.000")
            job.write(line.encode() + b"\r\n")


class StampedLines:
    """The lines a pipe brings, each with the monotonic time it came."""

    def __init__(self, stream):
        self.lines = []
        self._stream = stream
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()

    def _read(self):
        pending = b""
        fd = self._stream.fileno()
        while True:
            chunk = os.read(fd, 65536)
            now = time.monotonic()
            if not chunk:
                break
            pending += chunk
            *whole, pending = pending.split(b"\n")
            self.lines.extend((now, line.decode(errors="replace")) for line in whole)

    def wait(self, timeout):
        self._thread.join(timeout)

    def first(self, predicate):
        return next((t for t, line in self.lines if predicate(line)), None)


def start_instrument(cli, arguments):
    instrument = subprocess.Popen([cli, "instrument", "--pty", "--verbose", "--timeout",
                                   TIMEOUT_MS] + arguments,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    far = instrument.stdout.readline().decode().strip()
    if not far:
        sys.exit("journal_bench: the instrument gave no pseudo-terminal")
    return instrument, far, StampedLines(instrument.stderr)


def receive_round(cli, work, job, records, journal):
    """One receive of the job: (wall-clock s, clean frame cycle s, resends,
    CPU time of the receive per frame s)."""
    out = os.path.join(work, "OUT.BDT")
    for leftover in (out, out + ".journal"):
        if os.path.exists(leftover):
            os.remove(leftover)
    instrument, far, log = start_instrument(cli, ["send-job", job])
    start = time.monotonic()
    receive = subprocess.Popen([cli, "receive", "--device", far] +
                               ([] if journal else ["--no-journal"]) + [out],
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(receive.pid, 0)
    wall = time.monotonic() - start
    cpu = usage.ru_utime + usage.ru_stime
    instrument.wait(timeout=60)
    log.wait(10)
    if os.waitstatus_to_exitcode(status) != 0 or instrument.returncode != 0:
        sys.exit("journal_bench: receive exited %d, instrument %d" %
                 (os.waitstatus_to_exitcode(status), instrument.returncode))
    with open(out, "rb") as saved:
        if saved.read().count(b"\r\n") != records:
            sys.exit("journal_bench: OUT.BDT does not hold %d records" % records)
    # Frame 1 may wait for the program to open the line; later resends are
    # bodies lost to the purge after 0xBB.
    resends = sum(1 for _, line in log.lines
                  if "sending it again" in line and not line.startswith("frame 1 "))
    return wall, clean_cycle(log.lines), resends, cpu / records


def clean_cycle(lines):
    """The mean time from one accepted frame to the next accepted at its first
    attempt, over every such pair of consecutive lines: the frame cycle
    without the stalls of resends. Lines that came in one read share a time;
    the sum over a run of clean cycles is still its length."""
    total = 0.0
    cycles = 0
    for (before, line), (after, following) in zip(lines, lines[1:]):
        if line.endswith(": accepted") and following.endswith(": accepted") and \
                "(attempt" not in following and not following.startswith("frame 1 "):
            total += after - before
            cycles += 1
    return total / cycles if cycles else None


def recover_after_kill(cli, work, records):
    """Receives records, kills the receive after the last 0x00, times recover."""
    job = os.path.join(work, "FULL.BDT")
    write_job(job, records)
    out = os.path.join(work, "KILLED.BDT")
    instrument, far, log = start_instrument(
        cli, ["--hangup-after", str(records), "send-job", job])
    receive = subprocess.Popen([cli, "receive", "--device", far, out],
                               stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 1800
    hung_up = "hung up after frame %d" % records
    while not any(hung_up in line for _, line in log.lines):
        if time.monotonic() > deadline or receive.poll() is not None:
            sys.exit("journal_bench: the receive of %d records did not get through" % records)
        time.sleep(0.005)
    # The line error after the hang-up holds the receive 2 s before it saves.
    receive.send_signal(signal.SIGKILL)
    receive.wait()
    instrument.wait(timeout=60)
    if os.path.exists(out):
        sys.exit("journal_bench: the receive saved before it was killed")
    recovered = os.path.join(work, "RECOVERED.BDT")
    start = time.monotonic()
    subprocess.run([cli, "recover", out + ".journal", recovered], check=True)
    seconds = time.monotonic() - start
    with open(recovered, "rb") as got, open(job, "rb") as sent:
        if got.read() != sent.read():
            sys.exit("journal_bench: the recovered job is not the job sent")
    return seconds, os.path.getsize(out + ".journal")


def median(values):
    return statistics.median(values) if values else None


def shown(value, unit):
    if value is None:
        return "-"
    text = "%.0f" % value if value >= 100 or not unit else "%.3f" % value
    return (text + " " + unit).strip()


def row(operation, with_journal, without, ratio):
    print("%s | %s | %s | %s" % (operation, with_journal, without,
                                 "-" if ratio is None else "%.3f" % ratio))


def paired_row(operation, rounds, measure, unit):
    """Medians of measure(round result) with and without the journal; the
    ratio is the median of the rounds' own ratios, each round having run both
    one right after the other, so that a change of load weighs on both."""
    pairs = [(measure(with_journal), measure(without)) for with_journal, without in rounds]
    pairs = [(a, b) for a, b in pairs if a is not None and b is not None]
    ratio = median([a / b for a, b in pairs if b]) if pairs else None
    row(operation, shown(median([a for a, _ in pairs]), unit),
        shown(median([b for _, b in pairs]), unit), ratio)


def print_rows(rounds, options, recover_seconds, journal_size):
    """The rows of bench/run.sh, in seconds; medians over the rounds."""
    def medians(measure):
        pairs = [(measure(a), measure(b)) for a, b in rounds]
        pairs = [(a, b) for a, b in pairs if a is not None and b is not None]
        return median([a for a, _ in pairs]), median([b for _, b in pairs])

    cpu_with, cpu_without = medians(lambda r: r[3])
    cycle_with, cycle_without = medians(lambda r: r[1])
    print("journal: receive CPU per frame, lumaq-cli\t%.9f\tthe same, --no-journal\t%.9f"
          % (cpu_with, cpu_without))
    print("journal: receive per frame (%.0f frames/s)\t%.9f\t--no-journal, %.0f frames/s\t%.9f"
          % (1 / cycle_with, cycle_with, 1 / cycle_without, cycle_without))
    if options.append_seconds is not None:
        print("journal: one frame appended (lumaq_bench)\t%.9f\tframe cycle, --no-journal\t%.9f"
              % (options.append_seconds, cycle_without))
    print("recover after kill -9, %d records\t%.6f\t-\t-" % (options.recover_records,
                                                             recover_seconds))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--records", type=int, default=2000)
    parser.add_argument("--rounds", type=int, default=15)
    parser.add_argument("--recover-records", type=int, default=15999)
    parser.add_argument("--rows", action="store_true")
    parser.add_argument("--append-seconds", type=float)
    options = parser.parse_args()
    cli = os.path.abspath(os.path.join(options.build, "lumaq-cli"))
    if not os.access(cli, os.X_OK):
        sys.exit("journal_bench: no %s (build first)" % cli)

    with tempfile.TemporaryDirectory(prefix="journal-bench-") as work:
        job = os.path.join(work, "JOB.BDT")
        write_job(job, options.records)
        rounds = []
        for number in range(options.rounds):
            # Alternate which goes first.
            result = {}
            for journal in ((True, False) if number % 2 == 0 else (False, True)):
                result[journal] = receive_round(cli, work, job, options.records, journal)
            rounds.append((result[True], result[False]))

        records = options.records
        if options.rows:
            print_rows(rounds, options, *recover_after_kill(cli, work, options.recover_records))
            return
        print("operation | with journal | without | ratio")
        paired_row("receive %d records, wall clock incl. resends" % records, rounds,
                   lambda r: records / r[0], "frames/s")
        paired_row("frame cycle between frames accepted at their first attempt", rounds,
                   lambda r: 1 / r[1] if r[1] else None, "frames/s")
        paired_row("CPU time of lumaq-cli receive per frame (user + system)", rounds,
                   lambda r: r[3] * 1e6, "us")
        paired_row("bodies sent again per receive", rounds, lambda r: r[2], "")
        seconds, size = recover_after_kill(cli, work, options.recover_records)
        row("kill -9 to recovered job, %d records (%d-byte journal): recover run time" %
            (options.recover_records, size), shown(seconds, "s"), "-", None)


if __name__ == "__main__":
    main()
