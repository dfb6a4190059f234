"""Builds the wheel: the package, the shared libraries it loads and its
version, all from this repository.

The libraries come from CMake: the two library targets are built in
build/python-wheel at the repository's root (another folder with
TARN_CMAKE_BUILD_DIR; a folder already configured is built as it is), or
are taken ready-made from the folder TARN_LIBRARY_DIR names. The version is
the project version of the root CMakeLists.txt, the one the C headers and
libraries carry.
"""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Distribution, setup
from setuptools.command.build_py import build_py

try:
    from setuptools.command.bdist_wheel import bdist_wheel
except ImportError:  # setuptools before 70.1 (Debian 12): the wheel package's
    from wheel.bdist_wheel import bdist_wheel

ROOT = Path(__file__).resolve().parents[2]
PACKAGE = "tarn_hand_calibration"
LIBRARIES = ["TarnCalibrator", "TarnHandCalibrationSDK", "TarnSession"]
# The platform the wheel says it runs on: the libraries need glibc 2.35
# (hypot@GLIBC_2.35), and the build holds them to the tag's limits
# (tools/check-manylinux.py).
PLATFORM_TAG = "manylinux_2_35_x86_64"


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    match = re.search(r"project\(\s*TarnHandCalibrationSDK\s+VERSION\s+([0-9]+\.[0-9]+\.[0-9]+)", text)
    if match is None:
        raise RuntimeError(f"no project version in {ROOT / 'CMakeLists.txt'}: build the wheel in the repository")
    return match.group(1)


def library_folder():
    """The folder holding the built libraries."""
    ready = os.environ.get("TARN_LIBRARY_DIR")
    if ready:
        return Path(ready)
    build = Path(os.environ.get("TARN_CMAKE_BUILD_DIR", ROOT / "build" / "python-wheel")).resolve()
    if not (build / "CMakeCache.txt").is_file():
        configure = ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                     "-DTARN_BUILD_TESTS=OFF", "-DTARN_BUILD_BENCH=OFF", "-DTARN_BUILD_REPLAY=OFF"]
        if shutil.which("ninja") and "CMAKE_GENERATOR" not in os.environ:
            configure += ["-G", "Ninja"]
        subprocess.run(configure, check=True)
    jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
    subprocess.run(["cmake", "--build", str(build), "--target", *LIBRARIES, "--parallel", jobs], check=True)
    return build


class build_with_libraries(build_py):
    """Puts the shared libraries and _version.py beside the package's
    modules, where the package looks first."""

    def run(self):
        super().run()
        target = Path(self.build_lib) / PACKAGE
        folder = library_folder()
        for name in LIBRARIES:
            library = folder / f"lib{name}.so"
            if not library.is_file():
                raise RuntimeError(f"{library} was not built")
            shutil.copyfile(library.resolve(), target / library.name)  # the file, not the symbolic link
        subprocess.run([sys.executable, str(ROOT / "tools" / "check-manylinux.py"), PLATFORM_TAG,
                        *(str(target / f"lib{name}.so") for name in LIBRARIES)], check=True)
        (target / "_version.py").write_text(f'version = "{project_version()}"\n', encoding="utf-8")


class with_libraries(Distribution):
    """Carries native code: installed as platform-specific files."""

    def has_ext_modules(self):
        return True


class platform_wheel(bdist_wheel):
    """Tagged for any Python 3 on PLATFORM_TAG: the modules are Python
    alone, the libraries they load are not."""

    def get_tag(self):
        return "py3", "none", PLATFORM_TAG


setup(version=project_version(), packages=[PACKAGE], distclass=with_libraries,
      cmdclass={"build_py": build_with_libraries, "bdist_wheel": platform_wheel})
