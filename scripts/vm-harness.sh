# Sourced by the scripts that run tests in the test VM: finds the VM runner
# (run-in-vm.sh) without naming a path of one machine.
#
#   ovilen_vm_runner    prints the runner's path, or fails when none is found
#
# The first that exists wins:
#   1. $OVILEN_VM_RUNNER (or $OVILEN_VM, its older name): the runner itself;
#   2. ../shared/tools/vm/run-in-vm.sh beside this checkout's root;
#   3. the same beside the root of the repository this checkout belongs to
#      (a git worktree elsewhere shares the main checkout's neighbours).

ovilen_vm_runner() {
  local root common candidate
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  local candidates=()
  [ -n "${OVILEN_VM_RUNNER:-}" ] && candidates+=("$OVILEN_VM_RUNNER")
  [ -n "${OVILEN_VM:-}" ] && candidates+=("$OVILEN_VM")
  candidates+=("$root/../shared/tools/vm/run-in-vm.sh")
  if common=$(git -C "$root" rev-parse --path-format=absolute --git-common-dir 2>/dev/null); then
    candidates+=("$(dirname "$common")/../shared/tools/vm/run-in-vm.sh")
  fi
  for candidate in "${candidates[@]}"; do
    if [ -x "$candidate" ]; then
      (cd "$(dirname "$candidate")" && echo "$PWD/$(basename "$candidate")")
      return 0
    fi
  done
  echo "no VM runner: set OVILEN_VM_RUNNER to run-in-vm.sh, or keep it at ../shared/tools/vm" \
    "beside the repository" >&2
  return 1
}
