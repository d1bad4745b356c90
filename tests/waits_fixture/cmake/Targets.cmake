# Listing test cases without a named bound, each on the line the fixture test
# expects, and one with a named bound (not reported).
gtest_discover_tests(bare_test DISCOVERY_MODE PRE_TEST)
gtest_discover_tests(numbered_test DISCOVERY_MODE PRE_TEST
                     DISCOVERY_TIMEOUT 20)
# gtest_discover_tests(commented_test)
gtest_discover_tests(clean_test DISCOVERY_MODE PRE_TEST
                     DISCOVERY_TIMEOUT ${LIST_TIMEOUT})
