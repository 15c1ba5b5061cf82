#!/usr/bin/env bash
# Every workflow in .github/workflows passes the workflow validator (offline: its schemas are built
# in), every script of the repository it runs is there, and a workflow broken the way a hand edit
# breaks one fails the validator, so that the check cannot pass by checking nothing. usage: check_workflows.sh <source tree> <scratch folder>
set -uo pipefail
tree=$1 scratch=$2
validator=$tree/tools/workflow-validator/node_modules/.bin/action-validator
[ -x "$validator" ] || { echo "no workflow validator at $validator: run scripts/setup.sh" && exit 1; }
status=0
shopt -s nullglob
workflows=("$tree"/.github/workflows/*.yml)
((${#workflows[@]} > 0)) || { echo "no workflow in $tree/.github/workflows" && exit 1; }
for workflow in "${workflows[@]}"; do
  if (cd "$tree" && "$validator" "$workflow"); then echo "ok: $(basename "$workflow")"; else echo "FAILED: $(basename "$workflow")" && status=1; fi
done
# Each script of the repository that a step runs is there (scripts/x.sh, scripts\windows\y.cmd).
for workflow in "${workflows[@]}"; do
  for script in $(grep -o '\(scripts\|\.ci\)[/\\][-A-Za-z0-9_./\\]*' "$workflow" | tr '\\' / | sort -u); do
    if [ -f "$tree/$script" ]; then echo "ok: $(basename "$workflow") runs $script, which is there"; else
      echo "FAILED: $(basename "$workflow") runs $script, which is not in the tree" && status=1
    fi
  done
done
# The first workflow with a job's steps misspelt, and with a step's command not a string.
mkdir -p "$scratch"
for breakage in 's/^    steps:$/    stepz:/' 's/^        run: \(.*\)$/        run: [\1]/'; do
  sed "$breakage" "${workflows[0]}" >"$scratch/broken.yml"
  if cmp -s "${workflows[0]}" "$scratch/broken.yml"; then
    echo "FAILED: '$breakage' changed nothing in $(basename "${workflows[0]}")" && status=1
  elif (cd "$tree" && "$validator" "$scratch/broken.yml") >/dev/null 2>&1; then
    echo "FAILED: the validator passed $(basename "${workflows[0]}") broken with '$breakage'" && status=1
  else
    echo "ok: broken with '$breakage', it fails"
  fi
done
exit $status
