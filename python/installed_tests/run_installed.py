"""Installs the package into a fresh virtual environment the way a user
does (pip install --no-build-isolation --no-index, offline) and runs the
tests of this directory there, against the installed package.

    python3 run_installed.py --build-dir BUILD --cli BUILD/cli/vorlin --work BUILD/python_package

The virtual environment sees the system's site-packages (setuptools and
wheel, as Debian's python3-setuptools and python3-wheel install them).  The
libraries are built in BUILD (an existing CMake build directory: only the
targets vorlin and vorlin_places are brought up to date).  A copy of
python/ is installed, so that the build leaves nothing in the checkout.
"""

import argparse
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PACKAGE = os.path.dirname(HERE)
CHECKOUT = os.path.dirname(PACKAGE)


def run(command, **kwargs):
    print("+", " ".join(command), flush=True)
    subprocess.run(command, check=True, **kwargs)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()

    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    venv = os.path.join(work, "venv")
    run([sys.executable, "-m", "venv", "--system-site-packages", venv])
    python = os.path.join(venv, "bin", "python")

    source = os.path.join(work, "python")
    shutil.copytree(PACKAGE, source, ignore=shutil.ignore_patterns(
        "build", "*.egg-info", "*.so", "__pycache__", "installed_tests", "tests"))
    env = {k: v for k, v in os.environ.items()
           if k not in ("VORLIN_LIBRARY", "VORLIN_PLACES_LIBRARY", "PYTHONPATH", "PYTHONHOME")}
    env["VORLIN_SOURCE_DIR"] = CHECKOUT
    env["VORLIN_BUILD_DIR"] = os.path.abspath(args.build_dir)
    env.setdefault("CMAKE_BUILD_PARALLEL_LEVEL", "1")
    env["PIP_DISABLE_PIP_VERSION_CHECK"] = "1"
    run([python, "-m", "pip", "install", "--no-build-isolation", "--no-index", source],
        env=env, cwd=work)

    env = {k: v for k, v in env.items() if not k.startswith("VORLIN_")}
    env["VORLIN_CLI"] = os.path.abspath(args.cli)
    env["VORLIN_README"] = os.path.join(CHECKOUT, "README.md")
    env["VORLIN_VENV"] = venv
    env["PYTHONDONTWRITEBYTECODE"] = "1"
    env["HOME"] = work  # the CLI's defaults file: none
    run([python, "-m", "unittest", "discover", "-v", "-s", HERE, "-t", HERE], env=env, cwd=work)


if __name__ == "__main__":
    main()
