"""What the CLI's checks share: the program under test (the first argument),
running it with the C locale, and the failures, each printed as it is found.
"""
import json
import os
import subprocess
import sys

VORLIN = sys.argv[1]
FAILURES = []
ENV = dict(os.environ, LC_ALL="C")


def fail(message):
    FAILURES.append(message)
    print("FAIL: " + message)


def run(args, status=0):
    """The finished process of `vorlin ARGS`; a failure when its exit status
    is not `status`."""
    result = subprocess.run([VORLIN] + args, capture_output=True, env=ENV)
    if result.returncode != status:
        fail("vorlin %s: exit %d, expected %d: %s" % (" ".join(args), result.returncode, status,
                                                     result.stderr.decode("latin-1")))
    return result


def js(args, status=0):
    """The JSON document `vorlin ARGS` prints."""
    return json.loads(run(args, status).stdout)


def finish(summary):
    """Exit 1 after the count of failures, or print the summary."""
    if FAILURES:
        print("%d failures" % len(FAILURES))
        sys.exit(1)
    print(summary)
