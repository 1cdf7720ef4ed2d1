"""Parameter expressions that the generator can both write (in the host's expression syntax:
numbers, names, + - * /, comparisons, c ? a : b, sqrt) and evaluate, so that the geometry a
symbol file stores is exactly what its expressions give for the parameters' defaults."""
import math


class Expr:
    def __add__(self, o): return Op("+", self, lift(o))
    def __radd__(self, o): return Op("+", lift(o), self)
    def __sub__(self, o): return Op("-", self, lift(o))
    def __rsub__(self, o): return Op("-", lift(o), self)
    def __mul__(self, o): return Op("*", self, lift(o))
    def __rmul__(self, o): return Op("*", lift(o), self)
    def __truediv__(self, o): return Op("/", self, lift(o))
    def __neg__(self): return Op("-", Num("0"), self)

    def names(self):
        return set()


class Num(Expr):
    def __init__(self, text):
        self.text = text if isinstance(text, str) else fmt(text)

    def render(self): return self.text
    def value(self, env): return float(self.text)


class Name(Expr):
    def __init__(self, name): self.name = name
    def render(self): return self.name
    def value(self, env): return env[self.name]
    def names(self): return {self.name}


class Op(Expr):
    def __init__(self, op, a, b): self.op, self.a, self.b = op, a, b

    def render(self):
        return f"({self.a.render()}{self.op}{self.b.render()})"

    def value(self, env):
        a, b = self.a.value(env), self.b.value(env)
        ops = {"+": lambda: a + b, "-": lambda: a - b, "*": lambda: a * b, "/": lambda: a / b,
               "<=": lambda: float(a <= b), "<": lambda: float(a < b),
               ">": lambda: float(a > b)}
        return ops[self.op]()

    def names(self): return self.a.names() | self.b.names()


class Cond(Expr):
    def __init__(self, test, yes, no): self.test, self.yes, self.no = test, yes, no

    def render(self):
        return f"({self.test.render()}?{self.yes.render()}:{self.no.render()})"

    def value(self, env):
        return self.yes.value(env) if self.test.value(env) != 0 else self.no.value(env)

    def names(self): return self.test.names() | self.yes.names() | self.no.names()


class Sqrt(Expr):
    def __init__(self, a): self.a = a
    def render(self): return f"sqrt({self.a.render()})"
    def value(self, env): return math.sqrt(self.a.value(env))
    def names(self): return self.a.names()


def lift(x):
    return x if isinstance(x, Expr) else Num(x)


def fmt(value):
    text = f"{value:.6f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def le(a, b): return Op("<=", lift(a), lift(b))
def gt(a, b): return Op(">", lift(a), lift(b))


def cond(test, yes, no): return Cond(test, lift(yes), lift(no))


def chain(key, pairs):
    """A table look-up: the value of the pair whose key is nearest to `key` (the thresholds
    are the midpoints between neighbouring keys), written as nested conditions."""
    pairs = sorted(pairs, key=lambda p: float(p[0]))
    result = lift(pairs[-1][1])
    for (k0, v0), (k1, _) in reversed(list(zip(pairs, pairs[1:]))):
        mid = fmt((float(k0) + float(k1)) / 2)
        result = cond(le(key, Num(mid)), v0, result)
    return result


def select(index, choices):
    """choices[round(index)] as nested conditions (index 0, 1, 2, ...)."""
    result = lift(choices[-1])
    for i in range(len(choices) - 2, -1, -1):
        result = cond(le(index, Num(fmt(i + 0.5))), choices[i], result)
    return result


class Func(Expr):
    """A muParser function of one argument (asin, atan, tan, abs ...)."""

    def __init__(self, name, a): self.name, self.a = name, lift(a)
    def render(self): return f"{self.name}({self.a.render()})"
    def value(self, env): return getattr(math, self.name)(self.a.value(env))
    def names(self): return self.a.names()


def lt(a, b): return Op("<", lift(a), lift(b))


def is_index(index, k):
    """1 when round(index) == k, else 0: the visibility of the variant k of a radio's choice."""
    return Op("*", gt(index, Num(fmt(k - 0.5))), le(index, Num(fmt(k + 0.5))))


def chain_by(key, values):
    """A look-up by the parameter `key` (D) in {key text: value text}, as chain()."""
    return chain(key, list(values.items()))
