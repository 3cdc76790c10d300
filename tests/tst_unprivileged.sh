#!/bin/sh
# Run by root, as CI runs the tests: the Save-failure tests once more as an
# account without privileges, as a game server's account is (nobody, whose
# home folder does not exist). They make their own user namespace then, in
# which the system's folders show as owned by an account it does not map:
# Save must still write, and the rows that cannot be arranged there skip.
# Run by anyone else, the test itself already ran so.
test_program=$1
if [ "$(id -u)" != 0 ]; then
    echo "SKIP: run as $(id -un), not root: tst_savefailures itself ran without privileges"
    exit 77
fi
if ! setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$test_program"; then
    echo "SKIP: nobody cannot reach $test_program (a folder on its way is closed to others)"
    exit 77
fi
cd /tmp || exit 1
HOME=/nonexistent exec setpriv --reuid=nobody --regid=nogroup --clear-groups "$test_program"
