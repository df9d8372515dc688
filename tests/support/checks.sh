# checks.sh: sourced by the test scripts. Checks that count failures and
# name the script line that made each one; checks_done ends the script.
fails=0

# The file and line that called the check calling this.
checks_caller() { echo "${BASH_SOURCE[2]##*/}:${BASH_LINENO[1]}"; }
checks_failed() { echo "FAIL $1 ($2)"; fails=$((fails + 1)); }

check() {  # WHAT EXPRESSION: the expression, evaluated, succeeds
  if eval "$2"; then echo "ok   $1"; else checks_failed "$1" "$(checks_caller)"; fi
}
# Compares two texts; on a difference prints both.
same() {  # WHAT ACTUAL EXPECTED
  if [ "$2" = "$3" ]; then echo "ok   $1"; return; fi
  checks_failed "$1" "$(checks_caller)"
  diff <(printf '%s\n' "$3") <(printf '%s\n' "$2") | sed 's/^/     /'
}
same_bytes() {  # WHAT FIRST_FILE SECOND_FILE
  if cmp "$2" "$3"; then echo "ok   $1"; else checks_failed "$1" "$(checks_caller)"; fi
}

# The count, and the exit code: 1 when any check failed.
checks_done() {
  echo "$fails failure(s)"
  exit $((fails > 0))
}
