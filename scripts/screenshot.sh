#!/usr/bin/env bash
# Makes the README's picture of the panel, docs/images/panel.png: the run script on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
exec scripts/run.sh --screenshot docs/images/panel.png
