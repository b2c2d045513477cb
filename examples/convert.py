import quorvix

equation = quorvix.convert(r"\frac{a}{b}")
print(equation.normalized_latex, len(equation.qvf), "bytes of QVF")
with open("fraction.ole", "wb") as out:
    out.write(equation.ole)

# Many at once, on two threads; the results come back in input order.
for eq in quorvix.convert_many([r"x^2", r"\sqrt{y}", r"\alpha+\beta"], jobs=2):
    print(eq.normalized_latex)

try:
    quorvix.convert("x", prefs_file="missing.eqp")
except quorvix.ConversionError as error:
    print("failed:", error.message)
