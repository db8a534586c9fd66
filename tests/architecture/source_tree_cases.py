"""What the checks' self-tests share: a check run on a small source tree
written for one case, and a table of cases run against it."""
import os
import subprocess
import sys
import tempfile


def run_check(check, files):
    """Runs the check on a tree holding `files` (path: text); its exit status and report."""
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            full = os.path.join(root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as f:
                f.write(text)
        done = subprocess.run([sys.executable, check, root], capture_output=True, text=True)
        return done.returncode, done.stdout


def check_cases(test, check, base, cases):
    """Each case (name, files over base, passes, words the report names) as a subtest."""
    for name, files, passes, words in cases:
        with test.subTest(name):
            status, report = run_check(check, {**base, **files})
            test.assertEqual(status == 0, passes, report)
            for word in words:
                test.assertIn(word, report)
