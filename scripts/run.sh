#!/usr/bin/env bash
# Builds scanforms and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset default >/dev/null
cmake --build --preset default
echo "The station's logic is built and tested; the window arrives with the next step."
