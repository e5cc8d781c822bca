# Rows of bench/run.sh for the transfer: receive and send, frames per second
# against the plain C floors (bench/floor_responder.c, bench/floor_sender.c).
# Their benchmarks come with the transfer window; until then this provider
# has no rows.
true
