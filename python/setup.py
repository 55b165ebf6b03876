"""Builds the package: the shared libraries it loads (libvorlin and the
gazetteer's libvorlin_places) are built with CMake from the checkout this
directory belongs to and copied into the package.

Environment:
  VORLIN_SOURCE_DIR  the checkout to build (default: the parent directory)
  VORLIN_BUILD_DIR   a CMake build directory to build in (an existing one is
                     reused: only the two targets are brought up to date);
                     default python/build/cmake
  VORLIN_CMAKE       the cmake program (default: cmake)
  CMAKE_BUILD_PARALLEL_LEVEL   jobs, as CMake reads it
"""

import os
import shutil
import subprocess
import sys

from setuptools import setup
from setuptools.command.build_py import build_py
from setuptools.dist import Distribution

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKOUT = os.path.abspath(os.environ.get("VORLIN_SOURCE_DIR") or os.path.dirname(HERE))
LIBRARIES = {"vorlin": "libvorlin.so", "vorlin_places": "libvorlin_places.so"}


class BuildWithLibraries(build_py):
    """build_py, then the CMake targets, copied next to vorlin/__init__.py."""

    def run(self):
        super().run()
        if not os.path.exists(os.path.join(CHECKOUT, "include", "vorlin.h")):
            sys.exit(f"error: {CHECKOUT} is not a Vorlin checkout (no include/vorlin.h); "
                     "install from the checkout: python3 -m pip install --no-build-isolation ./python")
        cmake = os.environ.get("VORLIN_CMAKE", "cmake")
        build = os.path.abspath(os.environ.get("VORLIN_BUILD_DIR") or os.path.join(HERE, "build", "cmake"))
        if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
            self._run([cmake, "-S", CHECKOUT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                       "-DVORLIN_BUILD_TESTS=OFF"])
        self._run([cmake, "--build", build, "--target", *LIBRARIES])
        target = os.path.join(self.build_lib, "vorlin")
        os.makedirs(target, exist_ok=True)
        for name, file_name in LIBRARIES.items():
            found = self._locate(build, file_name)
            # The real file (libvorlin.so is a link to libvorlin.so.0.1.0).
            shutil.copyfile(os.path.realpath(found), os.path.join(target, file_name))
            print(f"copied {found} -> {os.path.join(target, file_name)}")

    @staticmethod
    def _run(command):
        print("running", " ".join(command))
        subprocess.run(command, check=True)

    @staticmethod
    def _locate(build, file_name):
        for directory, _, files in os.walk(build):
            if file_name in files and "CMakeFiles" not in directory:
                return os.path.join(directory, file_name)
        sys.exit(f"error: {file_name} was not built in {build}")


class BinaryDistribution(Distribution):
    """The package carries native libraries: a platform wheel."""

    def has_ext_modules(self):
        return True


setup(cmdclass={"build_py": BuildWithLibraries}, distclass=BinaryDistribution)
