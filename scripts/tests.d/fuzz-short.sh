# Short bounded runs of every fuzz target (make fuzz runs them longer).
exec "$(dirname "$0")/../fuzz.sh" short
