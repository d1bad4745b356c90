# Shared by the fixture tests of the source checks: fails unless the check
# failed (result not 0) and reported exactly the expected items, each a match
# of pattern in its output, none missing, none beside them, none twice.
function(expect_reported result output pattern)
  set(expected ${ARGN})
  if(result EQUAL 0)
    message(FATAL_ERROR "The check passed the fixture:\n${output}")
  endif()
  string(REGEX MATCHALL "${pattern}" reported "${output}")
  set(missing ${expected})
  list(REMOVE_ITEM missing ${reported})
  set(extra ${reported})
  list(REMOVE_ITEM extra ${expected})
  list(LENGTH reported reported_count)
  list(LENGTH expected expected_count)
  if(missing OR extra OR NOT reported_count EQUAL expected_count)
    list(JOIN missing "\n  " missing)
    list(JOIN extra "\n  " extra)
    message(FATAL_ERROR "Not reported:\n  ${missing}\nReported, not expected:\n  ${extra}\n"
                        "Check output:\n${output}")
  endif()
endfunction()
