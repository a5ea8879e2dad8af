"""The mutants of C++ sources, for tools/mutar.py.

Each mutant is one small fault at one place of one file: a relational,
arithmetic, logical or bitwise operator changed, a unary minus or negation
dropped, a literal one step off (integers one up and one down, floating
literals doubled), a subscript off by one, or an expression statement
dropped. Comments, string and character literals and preprocessor lines are
never touched. Every mutant has a key (file, mutation, the mutated line's
text) that survives edits elsewhere in the file; a seed ranks the keys.
"""
import glob, hashlib, os, re

# ---------------------------------------------------------------- lexing

def Enmascarar(s):
    """The text with comments, string and character literals and preprocessor
    lines blanked out (newlines kept), so that offsets stay the same."""
    out, i, n, inicio_linea = list(s), 0, len(s), True
    def blanco(a, b):
        for k in range(a, b):
            if out[k] != '\n':
                out[k] = ' '
    while i < n:
        c = s[i]
        if inicio_linea and c == '#':
            j = i
            while j < n and (s[j] != '\n' or s[j - 1] == '\\'):
                j += 1
            blanco(i, j); i = j; continue
        if c == '\n':
            inicio_linea = True; i += 1; continue
        if c in ' \t':
            i += 1; continue
        inicio_linea = False
        if s.startswith('//', i):
            j = s.find('\n', i); j = n if j < 0 else j
            blanco(i, j); i = j
        elif s.startswith('/*', i):
            j = s.find('*/', i + 2); j = n if j < 0 else j + 2
            blanco(i, j); i = j
        elif c in '"\'':
            j = i + 1
            while j < n and s[j] != c:
                j += 2 if s[j] == '\\' else 1
            blanco(i, j + 1); i = j + 1
        else:
            i += 1
    return ''.join(out)

NUMERO = r'0[xX][0-9a-fA-F.]*(?:[pP][+-]?\d+)?[uUlLfF]*|(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?[uUlLfF]*'
OPERADORES = ['<<=', '>>=', '...', '::', '->', '++', '--', '<<', '>>', '<=', '>=', '==', '!=', '&&', '||',
              '+=', '-=', '*=', '/=', '%=', '&=', '|=', '^=']
TOKEN = re.compile(r'\s*(?:(?P<num>%s)|(?P<id>[A-Za-z_]\w*)|(?P<op>%s|[^\s]))' % (
    NUMERO, '|'.join(re.escape(o) for o in OPERADORES)))
TIPOS = {'int', 'float', 'double', 'char', 'bool', 'void', 'long', 'short', 'unsigned', 'signed', 'auto',
         'const', 'static', 'size_t', 'constexpr', 'struct', 'enum', 'uint8_t', 'uint32_t', 'int32_t',
         'extern', 'typedef', 'inline'}
NO_VALOR = {'return', 'case', 'else', 'sizeof', 'throw', 'new', 'delete', 'if', 'while', 'for', 'switch'}


def Tokens(mascara):
    toks, pos = [], 0
    while True:
        m = TOKEN.match(mascara, pos)
        if not m or m.end() == pos:
            return toks
        tipo = m.lastgroup
        toks.append((tipo, m.group(tipo), m.start(tipo)))
        pos = m.end()

# ---------------------------------------------------------------- mutants

def EsValor(t):
    """True when token t ends an operand, so that an operator after it is binary."""
    return t is not None and (t[0] == 'num' or (t[0] == 'id' and t[1] not in NO_VALOR | TIPOS)
                              or t[1] in (')', ']'))


def EsTipo(toks, k):
    """True when token k names a type: a built-in type, or a capitalised name
    that is not a member (the code's types are capitalised, its locals not)."""
    t = toks[k] if k >= 0 else None
    if t is None or t[0] != 'id':
        return False
    if t[1] in TIPOS:
        return True
    return t[1][0].isupper() and (k == 0 or toks[k - 1][1] not in ('.', '->'))


def Mutantes(texto):
    """Every mutant of one file: (offset, length, replacement, description)."""
    mascara = Enmascarar(texto)
    toks = Tokens(mascara)
    pares, pila = {}, []
    for k, t in enumerate(toks):
        if t[1] in '([{':
            pila.append(k)
        elif t[1] in ')]}' and pila:
            pares[pila.pop()] = k
    res = []
    def agregar(k, nuevo, desc, largo=None):
        t = toks[k]
        res.append((t[2], len(t[1]) if largo is None else largo, nuevo, desc))
    CAMBIOS = {'<': ['<=', '>='], '<=': ['<', '>'], '>': ['>=', '<='], '>=': ['>', '<'], '==': ['!='],
               '!=': ['=='], '&&': ['||'], '||': ['&&'], '+=': ['-='], '-=': ['+='], '*=': ['/='],
               '/=': ['*='], '++': ['--'], '--': ['++'], '<<': ['>>'], '>>': ['<<']}
    BINARIOS = {'+': ['-'], '-': ['+'], '*': ['/'], '/': ['*'], '%': ['*'], '&': ['|'], '|': ['&']}
    for k, (tipo, v, off) in enumerate(toks):
        ant = toks[k - 1] if k > 0 else None
        if tipo == 'op' and v in CAMBIOS and not (v == '<' and ant and ant[1].endswith('_cast')):
            for nuevo in CAMBIOS[v]:
                agregar(k, nuevo, '%s -> %s' % (v, nuevo))
        elif tipo == 'op' and v in BINARIOS and EsValor(ant) and not EsTipo(toks, k - 1):
            for nuevo in BINARIOS[v]:
                agregar(k, nuevo, '%s -> %s' % (v, nuevo))
        elif tipo == 'op' and v in ('-', '!') and not EsValor(ant):
            agregar(k, '', 'drop unary %s' % v)
        elif tipo == 'num' and not EsDeclaracionArreglo(toks, k):
            for nuevo in OtrasConstantes(v):
                agregar(k, nuevo, '%s -> %s' % (v, nuevo))
        elif v == '[' and EsValor(ant) and k in pares and pares[k] > k + 1 \
                and not (pares[k] == k + 2 and toks[k + 1][0] == 'num'):
            cierre = toks[pares[k]][2]
            dentro = texto[toks[k + 1][2]:cierre]
            for signo in '+-':
                res.append((toks[k + 1][2], cierre - toks[k + 1][2], '(%s) %s 1' % (dentro, signo),
                            '[%s] -> [%s %s 1]' % (dentro, dentro, signo)))
    res.extend(Sentencias(texto, toks, pares))
    return res


def EsDeclaracionArreglo(toks, k):
    """A literal that is an array's size in a declaration ("float lo[3]")."""
    return (k >= 3 and toks[k - 1][1] == '[' and toks[k - 2][0] == 'id'
            and (EsTipo(toks, k - 3) or toks[k - 3][1] in ('*', ',')))


def OtrasConstantes(v):
    """Integers one larger and one smaller; floating literals doubled (0 becomes 1)."""
    hexadecimal = v[:2].lower() == '0x' and 'p' not in v.lower()
    cuerpo = v.rstrip('uUlL' if hexadecimal else 'uUlLfF')
    sufijo = v[len(cuerpo):]
    if re.fullmatch(r'0[xX][0-9a-fA-F]+', cuerpo) or re.fullmatch(r'\d+', cuerpo):
        base = 16 if cuerpo[:2].lower() == '0x' else (8 if len(cuerpo) > 1 and cuerpo[0] == '0' else 10)
        n = int(cuerpo, base)
        forma = (lambda x: hex(x)) if base == 16 else (lambda x: oct(x).replace('0o', '0')) if base == 8 \
            else str
        return [forma(x) + sufijo for x in (n + 1, n - 1) if x >= 0]
    m = re.fullmatch(r'(0[xX][0-9a-fA-F.]*[pP])([+-]?\d+)', cuerpo)
    if m:
        return ['%s%d%s' % (m.group(1), int(m.group(2)) + 1, sufijo)]
    try:
        doble = float(cuerpo) * 2
    except ValueError:
        return []
    return [(repr(doble) if doble else '1.0') + sufijo]


def Sentencias(texto, toks, pares):
    """Statements that can be dropped: expression statements inside a body
    (not declarations, returns or labels), replaced by an empty statement."""
    abre = {v: k for k, v in pares.items()}
    profundidad, res, k = 0, [], 0
    for k, t in enumerate(toks):
        if t[1] == '{':
            profundidad += 1
        elif t[1] == '}':
            profundidad -= 1
        if profundidad < 1 or t[1] in ('{', '}', ';'):
            continue
        ant = toks[k - 1] if k > 0 else None
        cabeza = ant and ant[1] == ')' and k - 1 in abre and abre[k - 1] > 0 \
            and toks[abre[k - 1] - 1][1] in ('if', 'for', 'while')
        if not (ant and (ant[1] in (';', '{', '}', 'else') or cabeza)):
            continue
        if t[1] in ('return', 'case', 'default', 'if', 'for', 'while', 'do', 'switch', 'else', 'goto',
                    'namespace', 'struct', 'enum', 'using', 'typedef', 'template', 'public', 'private') \
                or t[1] in TIPOS or EsDeclaracion(toks, k):
            continue
        j, par = k, 0
        while j < len(toks) and not (toks[j][1] == ';' and par == 0):
            if toks[j][1] in '{}':
                break
            par += toks[j][1] in '([' and 1 or toks[j][1] in ')]' and -1 or 0
            j += 1
        if j < len(toks) and toks[j][1] == ';':
            res.append((t[2], toks[j][2] + 1 - t[2], ';', 'drop statement'))
    return res


def EsDeclaracion(toks, k):
    """Type name(s) then a name: "Vector v = ...", "Cara *p;", "std::size_t n;"."""
    j = k
    while j + 2 < len(toks) and toks[j][0] == 'id' and toks[j + 1][1] == '::':
        j += 2
    if j + 1 >= len(toks) or toks[j][0] != 'id':
        return False
    j += 1
    if toks[j][1] == '<':  # a template's arguments: std::vector<unsigned char> v(n);
        return True
    while j < len(toks) and toks[j][1] in ('*', '&'):
        j += 1
    return j + 1 < len(toks) and toks[j][0] == 'id' and toks[j + 1][1] in ('=', ';', '[', ',', '(', '{')

# ---------------------------------------------------------------- keys, sampling

def Clave(archivo, texto, offset, desc):
    """A key that survives edits elsewhere in the file: the file, the mutation,
    the mutated line's text, and which occurrence of that line it is."""
    inicio = texto.rfind('\n', 0, offset) + 1
    fin = texto.find('\n', offset)
    linea = texto[inicio:fin if fin >= 0 else len(texto)].strip()
    antes = [l.strip() for l in texto[:inicio].split('\n')]
    repeticion = antes.count(linea)
    return '%s\t%s%s\t%s' % (archivo, desc, ' (line %d)' % (repeticion + 1) if repeticion else '', linea), \
        texto.count('\n', 0, offset) + 1


def Elegir(arbol, patrones, semilla, cuantos, filtro='', solo=None, parte=(1, 1)):
    archivos = sorted({os.path.relpath(p, arbol) for pat in patrones for p in glob.glob(os.path.join(arbol, pat), recursive=True)})
    todos = []
    for a in archivos:
        with open(os.path.join(arbol, a), encoding='utf-8') as f:
            texto = f.read()
            vistos = {}
        for (off, largo, nuevo, desc) in sorted(Mutantes(texto)):
            # The second "- -> +" of a line is told apart from the first.
            sitio = (texto.rfind('\n', 0, off), desc)
            vistos[sitio] = vistos.get(sitio, 0) + 1
            if vistos[sitio] > 1:
                desc += ' #%d' % vistos[sitio]
            clave, linea = Clave(a, texto, off, desc)
            todos.append({'archivo': a, 'linea': linea, 'offset': off, 'largo': largo, 'nuevo': nuevo,
                          'mutacion': desc, 'clave': clave})
    if filtro:
        todos = [m for m in todos if re.search(filtro, m['clave'])]
    if solo is not None:
        todos = [m for m in todos if m['clave'] in solo]
    # Ranked by a hash of seed and key rather than drawn: an edit elsewhere
    # leaves the rest of the sample as it was, so runs before and after a
    # change compare the same mutants.
    rango = lambda m: hashlib.sha256(('%d\t%s' % (semilla, m['clave'])).encode()).digest()
    elegidos = sorted(todos, key=rango)[:cuantos][parte[0] - 1::parte[1]]
    return sorted(elegidos, key=lambda m: (m['archivo'], m['offset'], m['mutacion'])), len(todos)
