#!/usr/bin/env python3
"""Fault injection: applies each mutation of scripts/mutations.txt alone, rebuilds, runs the tests
and reports which mutations the tests catch. The source is restored after every mutation.

Usage: scripts/mutate.py [--only ID,ID...] [--build DIR] [--list]
A block in mutations.txt:
    == ID path/to/file.cpp | what the fault is
    <<<
    exact text, found exactly once in the file
    ===
    replacement text
    >>>
"""
import argparse, os, pathlib, re, subprocess, sys, time

ROOT = pathlib.Path(__file__).resolve().parent.parent


def parse(path):
    text = path.read_text()
    blocks = re.findall(r"^== (\S+) (\S+) \| (.*?)\n<<<\n(.*?)\n===\n(.*?)\n?>>>$", text, re.S | re.M)
    return [dict(id=i, file=f, what=w, old=o, new=n) for i, f, w, o, n in blocks]


def run(cmd, timeout):
    try:
        p = subprocess.run(cmd, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           text=True, timeout=timeout)
        return p.returncode, p.stdout
    except subprocess.TimeoutExpired as e:
        out = e.stdout or ""
        return -1, out.decode(errors="replace") if isinstance(out, bytes) else out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--only", default="")
    ap.add_argument("--build", default="build/mutate")
    ap.add_argument("--list", action="store_true")
    args = ap.parse_args()
    muts = parse(ROOT / "scripts" / "mutations.txt")
    ids = [m["id"] for m in muts]
    if len(set(ids)) != len(ids):
        sys.exit("mutations.txt: duplicate IDs")
    for m in muts:
        src = (ROOT / m["file"]).read_text()
        if src.count(m["old"]) != 1:
            sys.exit(f"{m['id']}: text found {src.count(m['old'])} times in {m['file']}")
    if args.list:
        for m in muts:
            print(f"{m['id']:5} {m['file']}: {m['what']}")
        return
    if args.only:
        wanted = set(args.only.split(","))
        muts = [m for m in muts if m["id"] in wanted]
    build = args.build
    rc, out = run(["cmake", "-S", ".", "-B", build, "-G", "Unix Makefiles", "-DCMAKE_BUILD_TYPE=Debug",
                   "-DOX_WERROR=OFF"], 600)
    if rc != 0:
        sys.exit(out)
    rc, out = run(["cmake", "--build", build, "-j2"], 1800)
    if rc != 0:
        sys.exit("unmutated build failed:\n" + out[-3000:])
    rc, out = run(["ctest", "--test-dir", build, "-j2", "--timeout", "60"], 900)
    if rc != 0:
        sys.exit("unmutated tests fail:\n" + out[-3000:])
    caught = missed = broken = 0
    missed_list = []
    for m in muts:
        path = ROOT / m["file"]
        original = path.read_text()
        start = time.time()
        try:
            path.write_text(original.replace(m["old"], m["new"], 1))
            rc, out = run(["cmake", "--build", build, "-j2"], 900)
            if rc != 0:
                verdict, detail = "BROKEN", "does not build"
                broken += 1
            else:
                rc, out = run(["ctest", "--test-dir", build, "-j2", "--timeout", "60", "--stop-on-failure"], 900)
                if rc != 0:
                    failed = re.findall(r"\d+ - (\S+) \(", out.split("tests FAILED:")[-1])
                    verdict, detail = "caught", (failed[0] if failed else "test run failed")
                    caught += 1
                else:
                    verdict, detail = "MISSED", ""
                    missed += 1
                    missed_list.append(m)
        finally:
            path.write_text(original)
            os.utime(path)
        print(f"{m['id']:5} {verdict:7} {time.time() - start:5.0f}s  {m['file']}: {m['what']}"
              + (f"  [{detail}]" if detail else ""), flush=True)
    run(["cmake", "--build", build, "-j2"], 1800)
    total = caught + missed
    print(f"\nscore: {caught}/{total} caught ({100.0 * caught / max(total, 1):.0f}%), {broken} did not build")
    for m in missed_list:
        print(f"missed: {m['id']} {m['file']}: {m['what']}")


if __name__ == "__main__":
    main()
