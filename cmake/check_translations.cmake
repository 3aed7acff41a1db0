# Stops the build when a text has no translation yet (this lrelease has no -fail-on-unfinished).
file(READ "${TS_FILE}" ts)
string(REGEX MATCHALL "<translation type=\"unfinished\"" unfinished "${ts}")
list(LENGTH unfinished count)
if(count GREATER 0)
  message(FATAL_ERROR "${TS_FILE}: ${count} text(s) without a translation; run the lupdate target and translate them")
endif()
