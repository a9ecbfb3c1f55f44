#!/usr/bin/env bash
# Writes a man page for a program from its own --help text, so the two never disagree.
#   make-man.sh PROGRAM-EXECUTABLE NAME "one-line description" > NAME.1
set -euo pipefail
exe=$1 name=$2 what=$3
version=$("$exe" --version | awk '{print $2}')
upper=$(echo "$name" | tr '[:lower:]' '[:upper:]')
echo ".TH $upper 1 \"\" \"$name $version\" \"User Commands\""
echo ".SH NAME"
echo "$name \\- $what"
echo ".SH SYNOPSIS"
echo ".B $name"
echo "[\\fIIMAGE\\fR]"
echo ".br"
echo ".B $name"
echo "\\fICOMMAND\\fR [\\fIOPTIONS\\fR]"
echo ".SH DESCRIPTION"
echo "Without arguments, or with the path of an image, $name opens its window. With a command"
echo "it runs without a display, prints what the window would show and exits with 0 on success,"
echo "1 when the action failed or the image was refused, and 2 on bad usage."
echo ".SH OPTIONS AND COMMANDS"
echo ".nf"
"$exe" --help | sed -e 's/\\/\\\\/g' -e 's/^\./\\\&./'
echo ".fi"
for sub in $("$exe" --help | awk '/^Subcommands:/{on=1;next} on&&NF{print $1}'); do
  echo ".SS $sub"
  echo ".nf"
  "$exe" "$sub" --help | sed -e 's/\\/\\\\/g' -e 's/^\./\\\&./'
  echo ".fi"
done
