#!/usr/bin/env bash
# Fetches test fixtures that come from Debian packages rather than from this repository
# into the folder given as the first argument.
set -euo pipefail
