#!/bin/sh
# Writes the COMMANDS section of tavix's manual page (a help2man include)
# from the program's own help of each command.
#   scripts/man-commands.sh PATH-TO-TAVIX > commands.h2m
set -eu
tavix=$1
echo "[COMMANDS]"
for command in configure plot preview models papers; do
  echo ".SS \"tavix $command\""
  echo ".nf"
  # Backslashes and leading dots or quotes would be read as troff.
  "$tavix" "$command" --help | sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/" -e 's/-/\\-/g'
  echo ".fi"
done
