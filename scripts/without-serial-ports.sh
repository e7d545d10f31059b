#!/usr/bin/env bash
# Runs a command in a mount namespace whose /dev holds everything but this machine's serial
# ports (/dev/ttyS*), so that Wine, which names those ports COM1, COM2, ... by itself, sees only
# the ports its registry gives it. Needs root (to mount); the rest of the system is untouched.
#   scripts/without-serial-ports.sh COMMAND [ARG...]
set -euo pipefail
exec unshare --mount --propagation private bash -c '
  set -euo pipefail
  old=$(mktemp -d /tmp/quillmar-dev.XXXXXX)
  mount --rbind /dev "$old"
  mount -t tmpfs -o mode=755 none /dev
  for entry in "$old"/* "$old"/.[!.]*; do
    [[ -e $entry || -L $entry ]] || continue
    name=${entry##*/}
    [[ $name == ttyS* || $name == ptmx ]] && continue
    if [[ -L $entry ]]; then
      cp -P "$entry" /dev/
    elif [[ -d $entry ]]; then
      mkdir "/dev/$name" && mount --rbind "$entry" "/dev/$name"
    else
      touch "/dev/$name" && mount --bind "$entry" "/dev/$name"
    fi
  done
  # New pseudo-terminals (the simulated unit) come from the devpts mounted here.
  ln -s pts/ptmx /dev/ptmx
  umount -l "$old" && rmdir "$old"
  exec "$@"' without-serial-ports "$@"
