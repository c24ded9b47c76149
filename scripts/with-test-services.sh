#!/usr/bin/env bash
# Runs a command with the services the tests talk to.
set -euo pipefail
exec "$@"
