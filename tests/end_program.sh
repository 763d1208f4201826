# Sourced by the shell tests that run the real program.
#
# end_program PID SIGNAL sends the signal and gives the program five seconds
# to end. It sets ended_status to the program's exit status, or to "hung"
# when the program had to be killed because it did not end.
end_program() {
  local pid=$1 signal=$2
  kill -"$signal" "$pid"
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  ended_status=0
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    ended_status=hung
    return 0
  fi
  wait "$pid" || ended_status=$?
}
