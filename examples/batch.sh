# Three questions, one of them malformed: one JSON line out per line in.
cat > questions.jsonl <<'LINES'
{"id": "q1", "latex": "\\frac{a}{b}"}
{"id": "q2", "latex": "x^2 + \\mycommand{y}"}
{"id": "q3", "latex": 5}
LINES
quorvix batch --jobs 2 --ole-dir equations --stats stats.json questions.jsonl > equations.jsonl
echo "exit status $?"   # 1: q3 failed, the others converted
ls equations            # q1.ole q2.ole
