#!/usr/bin/env bash
# Fails when a core folder includes a folder that is not below it. The folders depend one way, bottom
# to top; folders of one rank (the features) do not include each other. A new folder gets its rank here
# and in docs/ARCHITECTURE.md.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A rank=(
  [base]=0 [stats]=1 [datafile]=2 [output]=3 [directtests]=4 [groups]=5 [analysis]=6
  [procedures]=7 [entry]=7 [manip]=7 [io]=7 [graphics]=7
  [shell]=8
)

status=0
while IFS= read -r -d '' file; do
  folder=${file#core/}
  folder=${folder%%/*}
  if [ -z "${rank[$folder]+set}" ]; then
    echo "$file: the folder core/$folder has no rank in scripts/check_layers.sh" >&2
    status=1
    continue
  fi
  while IFS= read -r line; do
    target=${line#*\"core/}
    target=${target%%/*}
    [ "$target" = "$folder" ] && continue
    if [ -z "${rank[$target]+set}" ] || [ "${rank[$target]}" -ge "${rank[$folder]}" ]; then
      echo "$file: includes core/$target, which is not below core/$folder: $line" >&2
      status=1
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"core/' "$file" || true)
done < <(find core -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
exit $status
