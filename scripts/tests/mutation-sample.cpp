// Lines for the mutation operators' test (scripts/tests/mutate_operators_test.py).
for (auto& s : shapes) if (s.hidden) continue;
if (found) break;
return a.width == b.width && a.height == b.height;
Resize(width, height);
std::vector<int> limits(8, 3);
Put("Caption", value);
if (EqualsIgnoringCase(name, "Text")) return;
