"""End-to-end harness: runs our Windows programs under Wine in Xvfb and looks at them."""
