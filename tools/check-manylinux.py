#!/usr/bin/env python3
"""Holds shared libraries to a manylinux platform tag: every versioned
symbol they reference (glibc, libstdc++, libgcc) at or below the tag's
limits, and every library they need one the tag lets a wheel assume.

    tools/check-manylinux.py manylinux_2_35_x86_64 LIBRARY...

Prints each library's highest versions and exits 1, naming the symbols,
when one goes beyond. The limits are those of PEP 600 as the manylinux
project publishes them for auditwheel (src/auditwheel/policy/
manylinux-policy.json in pypa/auditwheel, entry "manylinux_2_35", x86_64):
glibc 2.35, libstdc++ GLIBCXX 3.4.30 and CXXABI 1.3.13, libgcc GCC 12.0.0.
"""
import re
import subprocess
import sys

POLICIES = {
    "manylinux_2_35_x86_64": {
        "limits": {"GLIBC": (2, 35), "GLIBCXX": (3, 4, 30), "CXXABI": (1, 3, 13), "GCC": (12, 0, 0)},
        # Libraries the policy lets a wheel take from the system (the
        # dynamic loader is always there).
        "libraries": {"libc.so.6", "libm.so.6", "libstdc++.so.6", "libgcc_s.so.1", "libpthread.so.0",
                      "libdl.so.2", "librt.so.1", "libatomic.so.1", "libmvec.so.1", "ld-linux-x86-64.so.2"},
    },
}


def references(library):
    """{(family, version tuple)} of the versioned symbols `library` takes
    from others, and the libraries it needs."""
    symbols = subprocess.run(["objdump", "-T", library], check=True, capture_output=True, text=True).stdout
    needed = subprocess.run(["objdump", "-p", library], check=True, capture_output=True, text=True).stdout
    versions = set()
    for line in symbols.splitlines():
        match = re.search(r"\*UND\*\s+\S+\s+\(?(GLIBC|GLIBCXX|CXXABI|GCC)_([0-9.]+)\)?\s+(\S+)", line)
        if match:
            versions.add((match[1], tuple(int(p) for p in match[2].split(".")), match[3]))
    return versions, set(re.findall(r"^\s*NEEDED\s+(\S+)$", needed, re.MULTILINE))


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in POLICIES:
        sys.exit(f"usage: {sys.argv[0]} {'|'.join(POLICIES)} LIBRARY...")
    policy = POLICIES[sys.argv[1]]
    failed = False
    for library in sys.argv[2:]:
        versions, needed = references(library)
        beyond = sorted(f"{symbol}@{family}_{'.'.join(map(str, version))}" for family, version, symbol in versions
                        if version > policy["limits"][family])
        foreign = sorted(needed - policy["libraries"])
        highest = {family: max((v for f, v, _ in versions if f == family), default=None) for family in policy["limits"]}
        print(f"{library}: " + ", ".join(f"{family} {'.'.join(map(str, v))}" for family, v in highest.items() if v)
              + (f"; needs {', '.join(sorted(needed))}" if needed else ""))
        if beyond:
            print(f"  beyond {sys.argv[1]}: {', '.join(beyond)}")
        if foreign:
            print(f"  needs libraries {sys.argv[1]} does not provide: {', '.join(foreign)}")
        failed = failed or bool(beyond or foreign)
    print(f"{'not ' if failed else ''}within {sys.argv[1]}")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
